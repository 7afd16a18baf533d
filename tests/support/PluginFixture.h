// Loads the real plug-in once per test process and builds blocks against an
// in-process host, through the exports only.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/engine/InProcessHost.h"
#include "host/engine/PluginLoader.h"

struct ShownMessage {
  int32_t severity;
  std::string text;
};

// The plug-in of this build, loaded on first use; messages are captured.
PluginLoader& Plugin();
std::vector<ShownMessage>& ShownMessages();

// A block made through its init export, holding the host's own reference;
// Done + Release on destruction.
class Block {
 public:
  Block(const char* exportName, InProcessHost& host);
  ~Block();
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  IModel* operator->() const { return model_; }
  IModel* get() const { return model_; }
  explicit operator bool() const { return model_ != nullptr; }

 private:
  IModel* model_ = nullptr;
};

// A host whose library directory is the plug-in folder of this build.
void PrepareHost(InProcessHost& host);
