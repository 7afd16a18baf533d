# cmake -DOUT=<TestTemplates.cpp> -DTEMPLATES="Constant;Random;..." -DDIR=<folder> -P EmbedTemplates.cmake
# Writes the Linux plug-in's exported table of the test-design templates,
# each file's bytes as a zero-terminated character array.
set(code "// Made from generators/templates/*.toml by EmbedTemplates.cmake.\n")
string(APPEND code "#include \"framework/interface/TestTemplates.h\"\n\nnamespace {\n")
set(rows "")
foreach(t ${TEMPLATES})
  file(READ ${DIR}/${t}.toml hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND code "const char k${t}[] = {${bytes}'\\0'};\n")
  string(TOUPPER ${t} upper)
  string(APPEND rows "    {\"TEMPLATE_${upper}\", k${t}},\n")
endforeach()
string(APPEND code "}  // namespace\n\n")
string(APPEND code "extern \"C\" __attribute__((visibility(\"default\"))) const RirEdaTestTemplate RirEda_TestTemplates[] = {\n")
string(APPEND code "${rows}    {nullptr, nullptr},\n};\n")
file(WRITE ${OUT}.tmp "${code}")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
