import os
import subprocess

import pytest


@pytest.fixture
def cli():
    """Runs marovi-cli with the arguments; returns its standard output."""

    def run(*args):
        done = subprocess.run([os.environ["MAROVI_CLI"], *map(str, args)], capture_output=True, text=True)
        assert done.returncode == 0, done.stderr
        return done.stdout

    return run
