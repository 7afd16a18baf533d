#include "ManPage.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <ostream>

namespace {
// What the definitions do not hold: (heading, roff text).
constexpr const char* kExitStatus = R"(.TP
.B 0
the command did what it was asked; a run ended without errors
.TP
.B 1
a run had errors (a block report, a library error, an abort, a loop, an output not written; with \fB\-\-strict\fR also warnings); a sweep point failed or a row is missing
.TP
.B 2
nothing ran: a usage error, a design that cannot run as written (reported with its file and line), a block not valid, no plug-in
.TP
.B 128 + N
a run stopped by signal N (130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP), its outputs written up to the time point it reached
)";

constexpr const char* kFiles = R"(.TP
.I /usr/lib/rir\-eda/
the plug-in folder: \fIlibrir_eda.so\fR, \fINSPdllS/NSPPX.so\fR, the dialog module and its help pages (\fB\-\-plugin\fR chooses another plug-in)
.TP
.I /usr/share/rir\-eda/examples/
the example designs; \fBrir\-eda demo\fR runs \fIsine_hann_fft.toml\fR
.TP
.I /usr/share/doc/rir\-eda/guide.md
the user's guide: design files, time units, sign modes, arithmetic, scheduling, sweeps
.TP
.I OUTDIR/NAME.unfinished
beside a VCD or CSV while a run writes it; a run that ends removes it
.TP
.I OUTDIR/sweep.csv, OUTDIR/point_K/, OUTDIR/jobs.txt, OUTDIR/sweep.sbatch
a sweep's table, each point's outputs, and its job lists
)";

constexpr const char* kExamples = R"(.nf
rir\-eda demo
rir\-eda run /usr/share/rir\-eda/examples/noisy_tone_filters.toml \-o out
rir\-eda run design.toml \-o out \-\-set fir.FIRS_TapsCount=4 \-\-strict
rir\-eda blocks High_Level_FIR_Init
rir\-eda edit design.toml fir
rir\-eda sweep design.toml \-\-grid tone.ToneMag=250,500 \-\-grid tone.ToneRelFreq=0.01,0.02 \-o sweep
.fi
)";

// Text for roff: backslashes and hyphens escaped, no line that starts a request.
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
  return out;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool Shown(const CLI::Option* o) { return !o->get_group().empty(); }

std::string Synopsis(const CLI::App& command) {
  std::string s = "\\fBrir\\-eda " + Roff(command.get_name()) + "\\fR";
  for (const CLI::Option* o : command.get_options(Shown))
    if (o->get_positional())
      s += o->get_required() ? " \\fI" + Upper(o->get_name(true)) + "\\fR"
                             : " [\\fI" + Upper(o->get_name(true)) + "\\fR]";
  return s + " [\\fIoptions\\fR]";
}

void WriteOption(const CLI::Option* o, std::ostream& out) {
  std::string names;
  for (const std::string& n : o->get_snames()) names += (names.empty() ? "" : ", ") + ("\\fB\\-" + n + "\\fR");
  for (const std::string& n : o->get_lnames()) names += (names.empty() ? "" : ", ") + ("\\fB\\-\\-" + Roff(n) + "\\fR");
  if (o->get_positional())
    names = "\\fI" + Upper(o->get_name(true)) + "\\fR";
  else if (o->get_type_size() != 0)
    names += " \\fI" + Roff(o->get_type_name()) + "\\fR";
  out << ".TP\n" << names << "\n" << Roff(o->get_description());
  if (o->get_required() && !o->get_positional()) out << " (required)";
  out << "\n";
}
}  // namespace

void WriteManPage(const CLI::App& app, const std::string& version, std::ostream& out) {
  out << ".TH RIR\\-EDA 1 \"\" \"rir\\-eda " << version << "\" \"User Commands\"\n"
      << ".SH NAME\nrir\\-eda \\- simulates designs built from the Rir_Eda block library\n.SH SYNOPSIS\n";
  const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
  for (const CLI::App* c : commands) out << Synopsis(*c) << "\n.br\n";
  out << "\\fBrir\\-eda \\-\\-version\\fR | \\fB\\-\\-help\\fR\n.SH DESCRIPTION\n"
      << Roff(app.get_description())
      << ".\nIt loads the block plug-in, builds a design's blocks, drives them sample by sample and writes the "
         "outputs the design asks for: VCD, CSV, plots, WAVE recordings.\n.SH COMMANDS\n";
  for (const CLI::App* c : commands) {
    out << ".SS \"" << Roff(c->get_name()) << "\"\n"
        << Synopsis(*c) << "\n.PP\n"
        << Roff(c->get_description()) << ".\n";
    for (const CLI::Option* o : c->get_options(Shown))
      if (o->get_name() != "--help") WriteOption(o, out);
  }
  out << ".SH OPTIONS\n";
  for (const CLI::Option* o : app.get_options(Shown)) WriteOption(o, out);
  out << ".SH \"EXIT STATUS\"\n"
      << kExitStatus << ".SH FILES\n"
      << kFiles << ".SH EXAMPLES\n"
      << kExamples
      << ".SH \"SEE ALSO\"\n\\fBgtkwave\\fR(1), \\fBgnuplot\\fR(1), \\fBparallel\\fR(1), \\fBsbatch\\fR(1)\n";
}
