import pytest


def pytest_addoption(parser):
    parser.addoption("--rir-eda", required=True, help="the simulator the module must agree with")
    parser.addoption("--examples", required=True, help="the examples folder")


@pytest.fixture(scope="session")
def rir_eda_bin(request):
    return request.config.getoption("--rir-eda")


@pytest.fixture(scope="session")
def examples(request):
    return request.config.getoption("--examples")
