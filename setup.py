"""Builds the rir_eda wheel: CMake (through tools/build.sh) builds the
extension, the plug-in folder and the simulator for the interpreter that runs
this, and the wheel carries them inside the package as a small prefix:

    rir_eda/_core.*.so               the extension
    rir_eda/lib/librir_eda.so        the plug-in folder (NSPdllS/NSPPX.so beside it)
    rir_eda/bin/rir-eda              the simulator (the console script runs it)
    rir_eda/share/rir-eda/examples/  the example designs

    python3 -m pip wheel --no-build-isolation . -w dist

RIR_WHEEL_BUILD_DIR names the CMake build folder (default: build-wheel/ in
the checkout); RIR_WERROR and ccache are used as tools/build.sh uses them.
"""
import os
import re
import shutil
import subprocess
import sys
import sysconfig

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))
# What the wheel needs of the tree: no Qt, no tests; toml++ compiled in, so
# that the programs need no shared library beyond the C and C++ runtimes.
TARGETS = ["rir_eda_python", "rir_eda", "NSPPX", "rir-eda"]
OPTIONS = ["-DRIR_WITH_TESTS=OFF", "-DRIR_WITH_BENCH=OFF", "-DRIR_WITH_DIALOGS=OFF", "-DRIR_WITH_PYTHON=ON",
           "-DRIR_EMBED_TOMLPP=ON"]
EXAMPLE_FILES = re.compile(r"(\.toml|\.wav|\.ipynb|README\.md)$")


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        return re.search(r"project\(\w+ VERSION ([0-9.]+)", f.read()).group(1)


def build_folder():
    folder = os.environ.get("RIR_WHEEL_BUILD_DIR") or os.path.join(ROOT, "build-wheel")
    return os.path.abspath(folder)


def cmake_options():
    options = OPTIONS + ["-DPython3_EXECUTABLE=" + sys.executable]
    try:  # pybind11 from pip (an isolated build) or from the distribution
        import pybind11
        options.append("-Dpybind11_DIR=" + pybind11.get_cmake_dir())
    except ImportError:
        pass
    return options


class BuildWithCMake(build_ext):
    def build_extension(self, ext):
        tree = build_folder()
        env = dict(os.environ, RIR_BUILD_TARGETS=" ".join(TARGETS))
        subprocess.run(["bash", os.path.join(ROOT, "tools", "build.sh"), tree] + cmake_options(), env=env, check=True)
        package = os.path.join(os.path.abspath(self.build_lib), "rir_eda")
        core = os.path.join(tree, "python", "rir_eda", "_core" + sysconfig.get_config_var("EXT_SUFFIX"))
        binaries = [(core, os.path.basename(core)),
                    (os.path.join(tree, "lib", "librir_eda.so"), "lib/librir_eda.so"),
                    (os.path.join(tree, "lib", "NSPdllS", "NSPPX.so"), "lib/NSPdllS/NSPPX.so"),
                    (os.path.join(tree, "bin", "rir-eda"), "bin/rir-eda")]
        for source, target in binaries:
            copy(source, os.path.join(package, target))
            strip(os.path.join(package, target))
        copy_examples(os.path.join(ROOT, "examples"), os.path.join(package, "share", "rir-eda", "examples"))


def copy(source, target):
    os.makedirs(os.path.dirname(target), exist_ok=True)
    shutil.copy2(source, target)


def strip(path):
    # The tree is built with debug information; the wheel carries none.
    if shutil.which("strip"):
        subprocess.run(["strip", "--strip-unneeded", path], check=True)


def copy_examples(source, target):
    for folder, _, files in os.walk(source):
        for name in files:
            if EXAMPLE_FILES.search(name):
                path = os.path.join(folder, name)
                copy(path, os.path.join(target, os.path.relpath(path, source)))


os.makedirs(build_folder(), exist_ok=True)
setup(
    version=project_version(),
    packages=["rir_eda"],
    package_dir={"rir_eda": "python/rir_eda"},
    ext_modules=[Extension("rir_eda._core", sources=[])],
    cmdclass={"build_ext": BuildWithCMake},
    # setuptools' own scratch folders stay out of the CMake trees' names.
    options={"build": {"build_base": os.path.join(build_folder(), "setuptools")},
             "egg_info": {"egg_base": build_folder()}},
    zip_safe=False,
)
