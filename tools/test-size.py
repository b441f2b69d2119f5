#!/usr/bin/env python3
"""How large the tests are against the program they test, counted in tokens with the
comments dropped, so that line breaks and packing change nothing. Every tracked file
under tests/ counts, data too; the program is core/ draw/ results/ app/ resources/.
Usage: python3 tools/test-size.py [REPO] [--files]. Exits 1 above 0.40."""
import re, subprocess, sys
args = [a for a in sys.argv[1:] if not a.startswith('--')]
repo = args[0] if args else '.'
files = subprocess.run(['git', '-C', repo, 'ls-files'], capture_output=True, text=True).stdout.split()
TOK = re.compile(r'"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|[A-Za-z_][A-Za-z_0-9]*|\d[\w.]*'
                 r'|::|->|<<|>>|<=|>=|==|!=|&&|\|\||\+\+|--|\S')
def tokens(path):
    try:
        src = open(f'{repo}/{path}', encoding='utf-8', errors='replace').read()
    except OSError:
        return 0
    if '\0' in src:
        return len(src) // 4
    if re.search(r'\.(c|cc|cpp|h|hpp|rc)$', path):
        src = re.sub(r'/\*.*?\*/', ' ', src, flags=re.S)
        src = re.sub(r'//[^\n]*', ' ', src)
    elif re.search(r'\.(py|sh|cmake|txt)$', path) or '.' not in path.split('/')[-1]:
        src = re.sub(r'(?m)^\s*#(?!include)[^\n]*', ' ', src)
    return len(TOK.findall(src))
PROGRAM = ('core', 'draw', 'results', 'app', 'resources')
def total(pred):
    return sum(tokens(f) for f in files if pred(f))
if '--files' in sys.argv:
    for f in files:
        if f.startswith('tests/') or f.split('/')[0] in PROGRAM:
            print(f'{tokens(f):6d} {f}')
prog = total(lambda f: f.split('/')[0] in PROGRAM and not f.endswith(('.ico', '.png', '.bmp')))
tests = total(lambda f: f.startswith('tests/'))
print(f'tests {tests} tokens / program {prog} tokens = {tests/prog:.3f} (owner: a quarter to a third; at most 0.40)')
sys.exit(0 if tests <= 0.40 * prog else 1)
