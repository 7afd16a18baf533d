// Loading and releasing the signal-processing library: black-box through the
// plug-in's exports, and the binding's own table.
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>

#include "numeric/Init_NSPDLL.h"
#include "support/PluginFixture.h"

namespace {

const std::string kLibraryFile = std::string(RIR_PLUGIN_DIR) + "NSPdllS/NSPPX.so";

// Whether the process holds the library file right now.
bool LibraryInProcess() {
  void* h = dlopen(kLibraryFile.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (h == nullptr) return false;
  dlclose(h);
  return true;
}

// A directory without an NSPdllS folder, with a trailing '/'.
struct EmptyDirectory {
  EmptyDirectory() {
    char pattern[] = "/tmp/rir_nsp_XXXXXX";
    path = mkdtemp(pattern);
    path += '/';
  }
  ~EmptyDirectory() { rmdir(path.c_str()); }
  std::string path;
};

int LoadFailures(const std::string& path) {
  int n = 0;
  for (auto& m : ShownMessages())
    if (m.text.find("Can't load library (" + path + ")") != std::string::npos) ++n;
  return n;
}

}  // namespace

TEST(SignalBinding, MissingLibraryShowsItsPathAndRetriesAtEachConstruction) {
  ASSERT_TRUE(Plugin().Loaded()) << Plugin().Error();
  EmptyDirectory dir;
  InProcessHost host;
  host.SetLibraryDirectory(dir.path);
  const std::string path = dir.path + "NSPdllS/NSPPX.so";
  {
    Block first("E_to_the_power_Init", host);
    EXPECT_FALSE(first->IsValid());
    EXPECT_EQ(LoadFailures(path), 1);
    Block second("Hann_trans_Init", host);
    EXPECT_FALSE(second->IsValid());
    Block third("High_Level_FIR_Init", host);
    EXPECT_FALSE(third->IsValid());
    EXPECT_EQ(LoadFailures(path), 3);
    EXPECT_FALSE(LibraryInProcess());
  }
  // Blocks that never held a use release nothing; a good directory loads.
  PrepareHost(host);
  Block fixed("Hann_trans_Init", host);
  EXPECT_TRUE(LibraryInProcess());
  EXPECT_EQ(ShownMessages().size(), 3u);
}

TEST(SignalBinding, GeneratorAndWaveBlocksNeverLoadIt) {
  ASSERT_TRUE(Plugin().Loaded()) << Plugin().Error();
  EmptyDirectory dir;
  InProcessHost host;
  host.SetLibraryDirectory(dir.path);
  {
    Block sine("Sine_Init", host);
    Block wave("Wave_Load_Init", host);
    Block save("Wave_Save_Init", host);
    EXPECT_TRUE(ShownMessages().empty());
  }
  PrepareHost(host);
  Block sine("Sine_Init", host);
  EXPECT_FALSE(LibraryInProcess());
  EXPECT_TRUE(ShownMessages().empty());
}

TEST(SignalBinding, LibraryStaysWhileAnyBlockUsesItAndReloadsAfterward) {
  ASSERT_TRUE(Plugin().Loaded()) << Plugin().Error();
  InProcessHost host;
  PrepareHost(host);
  EXPECT_FALSE(LibraryInProcess());
  {
    Block simple("Square_Init", host);
    EXPECT_TRUE(LibraryInProcess());
    {
      Block filter("High_Level_IIR_Init", host);
      filter->Done();  // the filter's use goes here, not at destruction
    }
    EXPECT_TRUE(LibraryInProcess()) << "released under a live element-wise block";
    { Block buffer("Single_Frequecy_DFT_Goertzel_Init", host); }
    EXPECT_TRUE(LibraryInProcess());
  }
  EXPECT_FALSE(LibraryInProcess());

  // After a filter block's Done the next transform loads it again, and the
  // filter block is still destroyed (its self reference went with Done).
  {
    Block filter("Low_Level_LMS_Init", host);
    EXPECT_TRUE(LibraryInProcess());
  }
  EXPECT_FALSE(LibraryInProcess());
  Block again("Kaiser_trans_Init", host);
  EXPECT_TRUE(LibraryInProcess());
}

TEST(SignalBinding, TableResolvesExactlyTheExportedNames) {
  LibraryDirectory = RIR_PLUGIN_DIR;
  ASSERT_TRUE(LoadSignalLibrary());
  std::set<std::string> table;
#define RIR_CHECK(name)                                                \
  EXPECT_NE(reinterpret_cast<void*>(NspTable.name), nullptr) << #name; \
  table.insert(#name);
  RIR_NSP_FUNCTIONS(RIR_CHECK)
#undef RIR_CHECK
  EXPECT_EQ(table.size(), 58u + 10u + 2u);  // the blocks' calls, the frees, the FIR's block calls

  // Nothing else leaves the library but the blocks' way past the guard of
  // each export (they call in the library's floating-point state).
  table.insert("RirNsp_UnguardedEntry");
  std::set<std::string> exported;
  FILE* nm = popen(("nm -D --defined-only '" + kLibraryFile + "'").c_str(), "r");
  ASSERT_NE(nm, nullptr);
  char line[512];
  while (std::fgets(line, sizeof line, nm) != nullptr) {
    char address[64], type[8], name[400];
    if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3 &&
        std::string(name).find('@') == std::string::npos)
      exported.insert(name);
  }
  pclose(nm);
  EXPECT_EQ(exported, table);

  const float v[3] = {4, -2, 9};
  EXPECT_EQ(NspTable.nspsMin(v, 3), -2.0f);
  UnloadSignalLibrary();
  EXPECT_EQ(NspTable.nspsMin, nullptr);
  EXPECT_TRUE(LibraryDirectory.empty());
  EXPECT_FALSE(SignalLibraryLoaded());
}

TEST(SignalBinding, UsesAreCountedAndAFailedLoadTakesNone) {
  InProcessHost host;
  host.SetLibraryDirectory("/nonexistent/");
  EXPECT_FALSE(AcquireSignalLibrary(&host));
  EXPECT_EQ(SignalLibraryUsers(), 0);
  EXPECT_EQ(LibraryDirectory, "/nonexistent/");

  PrepareHost(host);
  ASSERT_TRUE(AcquireSignalLibrary(&host));
  host.SetLibraryDirectory("/elsewhere/");  // a loaded library is not reloaded
  ASSERT_TRUE(AcquireSignalLibrary(&host));
  EXPECT_EQ(LibraryDirectory, RIR_PLUGIN_DIR);
  EXPECT_EQ(SignalLibraryUsers(), 2);
  ReleaseSignalLibrary();
  EXPECT_TRUE(SignalLibraryLoaded());
  EXPECT_NE(NspTable.nspsFir, nullptr);
  ReleaseSignalLibrary();
  EXPECT_FALSE(SignalLibraryLoaded());
  EXPECT_EQ(NspTable.nspsFir, nullptr);
  ReleaseSignalLibrary();  // an extra release does not go below zero
  EXPECT_EQ(SignalLibraryUsers(), 0);
}
