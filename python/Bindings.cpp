// rir_eda._core: the plug-in's blocks and the simulator's run for Python.
// The Python package (rir_eda/__init__.py) shapes arguments and results;
// this file only crosses over.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <csignal>
#include <memory>
#include <sstream>

#include "Catalogue.h"
#include "host/design/BlockReference.h"
#include "host/design/BlockTypes.h"
#include "host/design/Overrides.h"
#include "host/engine/PluginLoader.h"
#include "host/engine/Recorder.h"
#include "host/engine/SteppedBlock.h"
#include "host/run/RunDesignFile.h"
#include "host/session/BlockSession.h"

namespace py = pybind11;

namespace {

std::unique_ptr<PluginLoader>& Plugin() {
  static std::unique_ptr<PluginLoader> plugin;
  return plugin;
}

PluginLoader& LoadedPlugin() {
  if (!Plugin() || !Plugin()->Loaded()) throw std::runtime_error("the plug-in is not loaded (rir_eda.load_plugin)");
  return *Plugin();
}

void LoadPlugin(const std::string& path) {
  auto plugin = std::make_unique<PluginLoader>();
  if (!plugin->Load(path)) throw std::runtime_error("cannot load the plug-in " + path + ": " + plugin->Error());
  Plugin() = std::move(plugin);
}

FieldValue ToFieldValue(const std::string& name, const py::handle& value) {
  if (py::isinstance<py::bool_>(value)) return int64_t{value.cast<bool>() ? 1 : 0};
  if (py::isinstance<py::int_>(value)) return value.cast<int64_t>();
  if (py::isinstance<py::float_>(value)) return value.cast<double>();
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  if (py::isinstance<py::array>(value) && py::cast<py::array>(value).ndim() == 0) {
    const py::object item = value.attr("item")();
    return ToFieldValue(name, item);
  }
  if (py::isinstance<py::sequence>(value) || py::isinstance<py::array>(value)) {
    std::vector<double> list;
    for (const py::handle& e : value) {
      if (!py::isinstance<py::int_>(e) && !py::isinstance<py::float_>(e) &&
          !(py::isinstance<py::array>(e) && py::cast<py::array>(e).ndim() == 0))
        throw py::type_error("field \"" + name + "\" takes a list of numbers");
      list.push_back(e.cast<double>());
    }
    return list;
  }
  throw py::type_error("field \"" + name + "\" cannot take a " +
                       std::string(py::str(value.get_type().attr("__name__"))));
}

class PyBlock {
 public:
  PyBlock(const std::string& type, int32_t width, int32_t sign, const std::vector<std::string>& optionalInputs,
          const std::string& folder, const py::dict& fields) {
    BlockSetup setup;
    setup.exportName = type;
    setup.width = width;
    setup.signValue = sign;
    setup.optionalInputs = optionalInputs;
    setup.folder = folder;
    for (const auto& [key, value] : fields) {
      const std::string name = py::str(key);
      setup.fields.emplace_back(name, ToFieldValue(name, value));
    }
    session_ = std::make_unique<BlockSession>(LoadedPlugin(), setup);
  }

  // Inputs as int64 arrays of `count` values, in Inputs() order.
  std::vector<py::array_t<int64_t>> Process(size_t count, const std::vector<py::array_t<int64_t>>& inputs) {
    if (session_->Closed()) throw std::runtime_error("the block is closed");
    if (inputs.size() != session_->Inputs().size()) throw std::invalid_argument("one array per input port");
    std::vector<const int64_t*> in;
    for (const auto& a : inputs) {
      if (static_cast<size_t>(a.size()) != count) throw std::invalid_argument("input arrays of differing lengths");
      in.push_back(a.data());
    }
    std::vector<py::array_t<int64_t>> outs;
    std::vector<int64_t*> out;
    for (size_t j = 0; j < session_->Outputs().size(); ++j) {
      outs.emplace_back(static_cast<py::ssize_t>(count));
      out.push_back(outs.back().mutable_data());
    }
    session_->Process(count, in, out);
    return outs;
  }

  BlockSession& Session() { return *session_; }

 private:
  std::unique_ptr<BlockSession> session_;
};

// Every variable's settled sample at each time point of a run, decoded as
// the simulator's outputs decode it.
class ValueRecorder : public Recorder {
 public:
  void Begin(const VariableStore& store) override {
    names_.clear();
    for (const HostVariable& v : store.All()) names_.push_back(v.name);
    values_.assign(names_.size(), {});
    Sample(0, store);
  }
  void Sample(int64_t time, const VariableStore& store) override {
    const bool again = !times_.empty() && times_.back() == time;
    if (!again) times_.push_back(time);
    const auto& all = store.All();
    for (size_t i = 0; i < all.size() && i < values_.size(); ++i) {
      const int64_t v = SampleOf(all[i]);
      if (again)
        values_[i].back() = v;
      else
        values_[i].push_back(v);
    }
  }
  void End(int64_t) override {}

  py::dict Result() const {
    py::dict d;
    for (size_t i = 0; i < names_.size(); ++i) d[py::str(names_[i])] = py::array_t<int64_t>(py::cast(values_[i]));
    return d;
  }
  py::array_t<int64_t> Times() const { return py::array_t<int64_t>(py::cast(times_)); }

 private:
  std::vector<std::string> names_;
  std::vector<int64_t> times_;
  std::vector<std::vector<int64_t>> values_;
};

py::tuple Run(const std::string& design, const std::vector<std::string>& overrides, const std::string& scheduling,
              const std::string& outputDir) {
  RunRequest request;
  request.design = design;
  request.pluginPath = LoadedPlugin().Path();
  request.outputDir = outputDir;
  request.overrides = overrides;
  request.scheduling = scheduling;
  request.progress = false;
  ValueRecorder values;
  request.observer = &values;
  // Ctrl-C during the run: Python's handler raises KeyboardInterrupt here; the
  // run then ends at this time point with every file final, and the exception
  // goes on to the caller. Asking Python costs, so only every few thousand points.
  bool interrupted = false;
  int64_t points = 0;
  request.interruption = [&]() -> int {
    if (!interrupted && ++points % 4096 == 0) interrupted = PyErr_CheckSignals() != 0;
    return interrupted ? SIGINT : 0;
  };
  RunCounts counts;
  request.counts = &counts;
  std::ostringstream out, err;
  const int status = RunDesignFile(request, out, err);
  if (interrupted || PyErr_CheckSignals() != 0) throw py::error_already_set();
  py::dict summary;
  summary["errors"] = counts.errors;
  summary["warnings"] = counts.warnings;
  summary["time_points"] = counts.timePoints;
  summary["block_steps"] = counts.steps;
  summary["input_notifications"] = counts.notifications;
  summary["value_changes"] = counts.events;
  py::dict ranges;
  for (const ValueRange& r : counts.ranges) ranges[py::str(r.variable)] = py::make_tuple(r.min, r.max);
  summary["ranges"] = ranges;
  return py::make_tuple(status, values.Times(), values.Result(), out.str(), err.str(), summary);
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "The Rir_Eda block plug-in and simulator, in process";
  m.attr("VERSION") = RIR_VERSION;
  py::register_exception<BlockSetupError>(m, "BlockSetupError", PyExc_ValueError);
  m.def("load_plugin", &LoadPlugin);
  m.def("plugin_path", [] { return LoadedPlugin().Path(); });
  m.def("block_types", [] {
    std::vector<std::string> names;
    for (const BlockType& t : AllBlockTypes()) names.push_back(t.exportName);
    return names;
  });
  m.def("describe", [](const std::string& type) {
    std::ostringstream out;
    if (!DescribeBlock(type, out)) throw BlockSetupError("unknown block type \"" + type + "\" (see block_types())");
    return out.str();
  });
  m.def("run", &Run);
  AddCatalogue(m);
  py::class_<PyBlock>(m, "Block")
      .def(py::init<const std::string&, int32_t, int32_t, const std::vector<std::string>&, const std::string&,
                    const py::dict&>())
      .def("process", &PyBlock::Process)
      .def_property_readonly("inputs", [](PyBlock& b) { return b.Session().Inputs(); })
      .def_property_readonly("outputs", [](PyBlock& b) { return b.Session().Outputs(); })
      .def_property_readonly("time_driven", [](PyBlock& b) { return b.Session().TimeDriven(); })
      .def_property_readonly("aborted", [](PyBlock& b) { return b.Session().Aborted(); })
      .def("port_range", [](PyBlock& b, const std::string& port) { return b.Session().PortRange(port); })
      .def("take_messages", [](PyBlock& b) { return b.Session().TakeMessages(); })
      .def("restart", [](PyBlock& b) { b.Session().Restart(); })
      .def("use_array_steps", [](PyBlock& b, bool on) { b.Session().UseArraySteps(on); })
      .def("close", [](PyBlock& b) { b.Session().Close(); });
}
