#!/usr/bin/env python3
"""Puts the options of `lintrim-cli --help` (without their examples) into the
README's lintrim-cli block, so that the README shows what the program says.
    readme-help.py PATH/TO/lintrim-cli [README.md]"""
import re
import subprocess
import sys

program = sys.argv[1]
readme = sys.argv[2] if len(sys.argv) > 2 else "README.md"
help_text = subprocess.run([program, "--help"], capture_output=True, text=True, check=True).stdout
options = help_text[help_text.index("Options:\n") + len("Options:\n"):]
options = options[: options.index("\n\n")]
lines = [line for line in options.splitlines() if not line.lstrip().startswith("e.g. ")]
block = "```\nlintrim-cli [OPTIONS] LIST...\n\n" + "\n".join(lines) + "\n```"
text = open(readme, encoding="utf-8").read()
text, count = re.subn(r"```\nlintrim-cli \[OPTIONS\] LIST\.\.\.\n.*?\n```", lambda _: block, text,
                      count=1, flags=re.S)
if count != 1:
    sys.exit("readme-help.py: no lintrim-cli block in " + readme)
open(readme, "w", encoding="utf-8").write(text)
