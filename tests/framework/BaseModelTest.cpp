// The base block's binding, value access and IModel defaults.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "framework/BaseExtModel.h"
#include "host/engine/InProcessHost.h"

namespace {

// A block that exposes the protected base routines.
class ProbeBlock : public TBaseModelExt {
 public:
  explicit ProbeBlock(IPELMOR* host) : TBaseModelExt(host, 0, kInputDriven) {}
  using TBaseModel::BindOptional;
  using TBaseModel::BindRequired;
  using TBaseModel::GetIntParameter;
  using TBaseModel::IsHigh;
  using TBaseModel::ReadValue;
  using TBaseModel::WriteValue;
  int inputs = 0;
  void RIR_STDCALL InputChanged() override { ++inputs; }
};

struct Probe {
  explicit Probe(IPELMOR* host) : block(new ProbeBlock(host)) { block->AddRef(); }
  ~Probe() {
    block->Done();
    block->Release();
  }
  ProbeBlock* operator->() { return block; }
  ProbeBlock* block;
};

}  // namespace

TEST(BaseModel, RequiredPortsReportEachMissingNameInOrder) {
  InProcessHost host;
  Probe p(&host);
  VarHandle in = 7, out = 7;
  EXPECT_FALSE(p->BindRequired({{&in, "DIn"}, {&out, "DOut"}}, 0));
  EXPECT_EQ(in, 0u);
  EXPECT_EQ(out, 0u);
  ASSERT_EQ(host.Reports().size(), 2u);
  EXPECT_EQ(host.Reports()[0].code, 4);
  EXPECT_EQ(host.Reports()[0].text, "DIn");
  EXPECT_EQ(host.Reports()[1].text, "DOut");
  EXPECT_FALSE(p->IsValid());
}

TEST(BaseModel, OptionalPortsAndFlagMasks) {
  InProcessHost host;
  const VarHandle readOnly = host.AddVariable("In", vkBus, 8, 0);
  Probe p(&host);
  VarHandle clk = 9, in = 0;
  EXPECT_TRUE(p->BindOptional({{&clk, "Clk"}}, 0));  // missing optional port: no report
  EXPECT_EQ(clk, 0u);
  EXPECT_TRUE(p->BindRequired({{&in, "In"}}, 0));  // mask 0 never fails the flags
  EXPECT_TRUE(p->IsValid());
  EXPECT_TRUE(host.Reports().empty());

  // Demanding the writable flag of a read-only variable: code 2 with the handle.
  EXPECT_FALSE(p->BindOptional({{&in, "In"}}, kWritableFlag));
  ASSERT_EQ(host.Reports().size(), 1u);
  EXPECT_EQ(host.Reports()[0].code, 2);
  EXPECT_EQ(host.Reports()[0].argument, static_cast<intptr_t>(readOnly));
  EXPECT_FALSE(p->IsValid());
}

TEST(BaseModel, DefaultAnswers) {
  InProcessHost host;
  Probe p(&host);
  EXPECT_EQ(p->TimeStep(), -1);
  EXPECT_EQ(p->Reserved17(), 8);
  EXPECT_EQ(p->Reserved15(), 1);
  EXPECT_EQ(p->Reserved3(), 0);
  const char* text = nullptr;
  EXPECT_EQ(p->Reserved13(5, &text), 1);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  EXPECT_STREQ(p->GetTypeName(), "");
  EXPECT_EQ(p->GetActivation(), 4);
  EXPECT_EQ(p->GetAuxValue(), 0);
  p->Reserved21();
  ASSERT_EQ(host.Reports().size(), 1u);
  EXPECT_EQ(host.Reports()[0].code, 6);
  EXPECT_EQ(host.Reports()[0].argument, 0);
  p->Start();  // the Ext start computes from the current inputs
  EXPECT_EQ(p->inputs, 1);

  void* out = nullptr;
  const GUID zero{};
  EXPECT_EQ(p->QueryInterface(&zero, &out), kQueryOk);
  EXPECT_EQ(out, static_cast<IModel*>(p.block));
  p->Release();
  const GUID other{1, 2, 3, {4}};
  EXPECT_EQ(p->QueryInterface(&other, &out), kQueryNoInterface);
  EXPECT_EQ(out, nullptr);
}

TEST(BaseModel, IntParameterNeedsExactlyFourBytes) {
  InProcessHost host;
  Probe p(&host);
  EXPECT_EQ(p->GetIntParameter("SignValue", 0), 0);
  host.SetParameter("SignValue", {1, 0});
  EXPECT_EQ(p->GetIntParameter("SignValue", 7), 7);
  host.SetIntParameter("SignValue", -3);
  EXPECT_EQ(p->GetIntParameter("SignValue", 0), -3);
}

TEST(BaseModel, ValueTextsOfAnyShapeAreReadSafely) {
  InProcessHost host;
  const VarHandle clk = host.AddVariable("Clk", vkClk, 1, 0, "1");
  const VarHandle bus = host.AddVariable("Bus", vkBus, 4, kWritableFlag);
  Probe p(&host);
  EXPECT_TRUE(p->IsHigh(clk));
  for (const char* text : {"", "11", "1 ", "0", "x", "\x80\xff"}) {
    host.SetValue("Clk", text);
    EXPECT_FALSE(p->IsHigh(clk)) << text;
  }
  EXPECT_EQ(p->ReadValue(0), ValueBits{});
  EXPECT_FALSE(p->IsHigh(12345));
  p->WriteValue(bus, ValueBits::OfBits(0b1010, 4));
  EXPECT_EQ(host.Value("Bus"), "1010");
}

TEST(BaseModel, ReferenceCountsAreAtomic) {
  InProcessHost host;
  auto* block = new ProbeBlock(&host);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([block] {
      for (int i = 0; i < 20000; ++i) {
        block->AddRef();
        block->Release();
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(block->AddRef(), 2u);
  block->Done();
  EXPECT_EQ(block->Release(), 0u);
}
