// The test-design templates the plug-in carries for its host: design files
// in the host's design language (for our host, its TOML designs), one for
// each of the generator types Constant, Random, Sine and Tone. Each holds
// placeholders of the form "%Name%" ("%Name%", "%Contact%", "%Dim%" and
// "%Const%" in the Constant template), and lines starting with "#@" give
// each placeholder's value when none is given ("#@ Dim = 16"). The block
// code never reads them; a host fills one in and runs what it wrote.
//
// Where a host finds them:
// - in the Windows DLLs: raw-data resources (RCDATA, type 10) named
//   TEMPLATE_CONSTANT, TEMPLATE_RANDOM, TEMPLATE_SINE and TEMPLATE_TONE;
// - in the Linux library: the exported data symbol RirEda_TestTemplates, an
//   array of RirEdaTestTemplate under the same names, ending with a row of
//   nulls. The texts are zero-terminated and owned by the library.
#pragma once

struct RirEdaTestTemplate {
  const char* name;  // "TEMPLATE_CONSTANT"
  const char* text;
};

#define RIR_TEST_TEMPLATES_SYMBOL "RirEda_TestTemplates"
#define RIR_TEST_TEMPLATE_PREFIX "TEMPLATE_"
