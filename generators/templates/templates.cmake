# The test-design templates the plug-in carries as raw data (see
# framework/interface/TestTemplates.h): one file per generator type, named
# TEMPLATE_ and the type in capitals. The Linux and the Windows builds both
# read this list.
set(test_templates_dir ${CMAKE_CURRENT_LIST_DIR})
set(test_templates Constant Random Sine Tone)
set(test_template_files "")
foreach(t ${test_templates})
  list(APPEND test_template_files ${test_templates_dir}/${t}.toml)
endforeach()
