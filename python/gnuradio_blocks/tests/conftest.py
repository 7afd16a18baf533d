import pytest


def pytest_addoption(parser):
    parser.addoption("--grc-blocks", required=True, help="the generated GRC block descriptions")


@pytest.fixture(scope="session")
def grc_blocks(request):
    return request.config.getoption("--grc-blocks")

