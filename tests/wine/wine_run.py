#!/usr/bin/env python3
"""Runs a Windows test program under Wine in the tests' private prefix.

Usage: wine_run.py PREFIX PROGRAM [ARGS...]; the exit status is the program's.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

prefix, argv = sys.argv[1], sys.argv[2:]
wine_env.ensure_prefix(prefix)
sys.exit(subprocess.run(wine_env.wine_command("wine", *argv), env=wine_env.wine_environment(prefix)).returncode)
