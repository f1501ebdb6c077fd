#!/usr/bin/env python3
"""Plants one small fault at a time in a module and runs the suites that cover it.

  scripts/mutation.py [--seed S] [--count N] [--module M ...] [--work DIR] [--list]
  scripts/mutation.py --recheck LOG [--work DIR]

A mutant is killed when a covering suite fails (or hangs past its time limit);
it survives when every suite passes. Native suites run as `make test` runs them
in its sanitizer build (AddressSanitizer and UBSan, leaks detected), so an
out-of-bounds access or a leak kills a mutant. Mutants that do not compile are replaced
by the next site in the seeded order, and those listed in
scripts/mutation_equivalent.txt (no observable difference) are skipped, so each
module runs N mutants that count. Prints the kill rate per module and every
survivor; exits non-zero when a module's unmutated suites fail. --recheck runs
again the survivors an earlier run printed (after tests were added, say).

The tree is never touched: the sources are copied into build/mutation/src and
built there (build/mutation/native, build/mutation/win), and a mutated copy is
put back even when the run is interrupted.
"""
import argparse, glob, hashlib, os, random, re, shutil, signal, subprocess, sys, time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, 'build', 'mutation')   # --work changes it, so that runs can go side by side
SRC = os.path.join(WORK, 'src')
EQUIVALENT_FILE = os.path.join(ROOT, 'scripts', 'mutation_equivalent.txt')

# Each module: the files mutated, the build they compile in, the suites that
# cover them (CTest names, or a test program with the arguments to run it with).
MODULES = {
    'cedb-core': ('native', ['platform/cedb/core/*.cpp', 'platform/cedb/core/*.h'],
                  ['cedb_log_format_test', 'cedb_fault_injection_test', 'cedb_api_test',
                   'cedb_mount_fuzz_replay', 'volume_crash_test --trials 6 --seed 1',
                   'shared_volume_test --trials 3 --seed 1']),
    'cedb-api': ('native', ['platform/cedb/api/*.cpp'], ['cedb_api_test', 'volinspect_test']),
    'vcard': ('native', ['contacts/vcard/*.cpp', 'platform/unicode/*.cpp'], ['vcard_test']),
    'store': ('win', ['store/*.cpp'],
              ['store_volume_test', 'store_records_test', 'store_labels_test', 'activity_queries_test',
               'profiles_test', 'purge_test']),
    'export': ('win', ['export/csv_writer.cpp', 'export/html_writer.cpp', 'export/export_file.cpp',
                       'export/export_run.cpp'], ['export_format_test', 'export_test']),
    'settings': ('win', ['settings/load_settings.cpp', 'settings/registry_values.cpp',
                         'settings/setting_arrays.cpp', 'settings/field_labels.cpp'],
                 ['settings_store_test', 'field_labels_test']),
}

# (name, pattern, replacement): operators a slip of the hand plausibly turns into one another.
OPERATORS = [
    ('eq', r'==', '!='), ('ne', r'!=', '=='),
    ('le', r'<=', '<'), ('ge', r'>=', '>'),
    ('lt', r'(?<![<\w])<(?![<=])(?=\s)', '<='), ('gt', r'(?<=\s)>(?![>=])', '>='),
    ('and', r'&&', '||'), ('or', r'\|\|', '&&'),
    ('plus1', r'\+ 1\b', '- 1'), ('minus1', r'- 1\b', '+ 1'),
    ('true', r'\btrue\b', 'false'), ('false', r'\bfalse\b', 'true'),
    ('not', r'(?<![!=<>])!(?!=)', ''),
    ('zero', r'(?<![\w.])0(?![\w.x])', '1'),
]
# A variable declared as 0 is nearly always written before it is read: such
# mutants are noise, not faults a test should catch.
DECLARED_ZERO = re.compile(r'(?:^\s*(?:const\s+|static\s+)*[A-Za-z_][\w:<>]*[\s*&]+[A-Za-z_]\w*(?:\[\w*\])?\s*=\s*|\w\{)$')
CALL_STATEMENT = re.compile(r'^\s*(?:[A-Za-z_][\w:]*(?:\.|->))*[A-Za-z_][\w:]*\(.*\);\s*$')


def code_mask(text):
    """Per character: True where it is code (not a comment, string, char literal or preprocessor line)."""
    mask = [True] * len(text)
    i, n, line_start = 0, len(text), True
    while i < n:
        c = text[i]
        if line_start and text[i:].lstrip(' \t').startswith('#'):
            j = text.find('\n', i)
            j = n if j < 0 else j
            for k in range(i, j): mask[k] = False
            i = j
            continue
        line_start = c == '\n' or (line_start and c in ' \t')
        if text.startswith('//', i):
            j = text.find('\n', i); j = n if j < 0 else j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2); j = n if j < 0 else j + 2
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            j += 1
        else:
            i += 1
            continue
        for k in range(i, min(j, n)): mask[k] = False
        i = j
    return mask


def mutation_sites(path, text):
    """Every (path, line number, original line, mutated line, operator) in a file, in file order."""
    mask = code_mask(text)
    sites, offset = [], 0
    for number, line in enumerate(text.split('\n'), 1):
        code = ''.join(ch if mask[offset + k] else ' ' for k, ch in enumerate(line))
        offset += len(line) + 1
        if not code.strip() or 'static_assert' in code:
            continue
        for name, pattern, replacement in OPERATORS:
            for m in re.finditer(pattern, code):
                if name == 'zero' and DECLARED_ZERO.search(code[:m.start()]):
                    continue
                sites.append((path, number, line, line[:m.start()] + replacement + line[m.end():], name))
        if CALL_STATEMENT.match(code) and not re.match(r'\s*(return|if|while|for|switch|case)\b', code):
            sites.append((path, number, line, re.sub(r'\S.*$', ';', line), 'drop-call'))
    unique = {}
    for site in sites:   # two operators may plant the same fault
        unique.setdefault((site[1], site[3]), site)
    return list(unique.values())


def load_equivalents():
    """(path, original, mutated) of mutants known to behave like the original."""
    known = set()
    if not os.path.exists(EQUIVALENT_FILE):
        return known
    for raw in open(EQUIVALENT_FILE, encoding='utf-8'):
        if raw.strip() and not raw.startswith('#'):
            path, before, after, _reason = (part.strip() for part in raw.split(' | ', 3))
            known.add((path, before, after))
    return known


def is_equivalent(equivalents, path, number, before, after):
    """Listed as `path` (any line with that text) or `path#k` (the k-th line with that text)."""
    if (path, before.strip(), after.strip()) in equivalents:
        return True
    lines = open(os.path.join(SRC, path), encoding='utf-8').read().split('\n')[:number]
    occurrence = sum(1 for line in lines if line.strip() == before.strip())
    return (f'{path}#{occurrence}', before.strip(), after.strip()) in equivalents


def sync_sources():
    """Copies the tree's files into the scratch copy, touching only those that differ."""
    files = subprocess.run(['git', 'ls-files', '-co', '--exclude-standard'], cwd=ROOT, check=True,
                           capture_output=True, text=True).stdout.split('\n')
    for rel in filter(None, files):
        source, target = os.path.join(ROOT, rel), os.path.join(SRC, rel)
        if not os.path.isfile(source) or rel.startswith('build/'):
            continue
        if os.path.exists(target) and open(source, 'rb').read() == open(target, 'rb').read():
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy(source, target)  # a fresh time, so the scratch build sees the change


def run(command, cwd, timeout=None, env=None):
    # Its own process group, killed whole at the end: a mutant that loops
    # forever must not outlive the suite that ran it and eat the cores.
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=env, start_new_session=True)
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return 'timeout'
    finally:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()


class Build:
    def __init__(self, kind):
        self.kind = kind
        self.dir = os.path.join(WORK, kind)
        self.env = dict(os.environ, CCACHE_BASEDIR='/work', CCACHE_NOHASHDIR='true')
        if kind == 'win':
            prefix = os.path.join(self.dir, 'wineprefix')
            self.env.update(WINEPREFIX=prefix, WINEDEBUG='-all', WINEDLLOVERRIDES='mscoree,mshtml=')
        else:   # as scripts/test.sh runs the sanitizer build
            self.env.update(ASAN_OPTIONS='detect_leaks=1:detect_stack_use_after_return=1',
                            UBSAN_OPTIONS='print_stacktrace=1')

    def configure(self):
        if os.path.exists(os.path.join(self.dir, 'build.ninja')):
            return
        args = ['cmake', '-S', SRC, '-B', self.dir, '-G', 'Ninja',
                '-DCMAKE_CXX_COMPILER_LAUNCHER=ccache', '-DCMAKE_C_COMPILER_LAUNCHER=ccache']
        if self.kind == 'win':
            args += ['-DCMAKE_BUILD_TYPE=', '-DCMAKE_CXX_FLAGS=-O0', '-DCMAKE_C_FLAGS=-O0',
                     '-DCMAKE_TOOLCHAIN_FILE=' + os.path.join(SRC, 'cmake/mingw-w64-x86_64.cmake')]
        else:   # the sanitizer build of `make build-native-asan`, less its debug information
            args += ['-DCMAKE_BUILD_TYPE=Debug', '-DVANTARO_SANITIZE=ON',
                     '-DCMAKE_CXX_FLAGS_DEBUG=-O0', '-DCMAKE_C_FLAGS_DEBUG=-O0']
        subprocess.run(args, check=True, capture_output=True, env=self.env)

    def build(self, suites):
        return run(['cmake', '--build', self.dir, '--target'] + [s.split()[0] for s in suites], self.dir,
                   timeout=1800, env=self.env) == 0

    def program(self, name):
        for folder, _, names in os.walk(os.path.join(self.dir, 'tests')):
            if name in names or name + '.exe' in names:
                return os.path.join(folder, name)
        return name

    def test(self, suites, timeout):
        programs = [s.split() for s in suites if ' ' in s]
        suites = [s for s in suites if ' ' not in s]
        command = ['ctest', '--test-dir', self.dir, '--stop-on-failure', '--timeout', str(timeout),
                   '-R', '^(' + '|'.join(suites) + ')$']
        if self.kind == 'win':
            if not os.path.exists(os.path.join(self.dir, 'wineprefix', 'system.reg')):
                subprocess.run([os.path.join(SRC, 'scripts/wineprefix.sh'), os.path.join(self.dir, 'wineprefix'),
                                '--isolated'], cwd=SRC, env=self.env, capture_output=True)
            command = [os.path.join(SRC, 'scripts/with-xvfb.sh')] + command
            self.env['VANTARO_OWN_XVFB'] = '1'
        status = run(command, self.dir, timeout=timeout * len(suites) + 60, env=self.env)
        if self.kind == 'win':
            run(['wineserver', '-k'], self.dir, timeout=30, env=self.env)
        for name, *args in programs:
            if status != 0:
                break
            status = run([self.program(name)] + args, self.dir, timeout=timeout, env=self.env)
        return status


def object_digest(build_dir, path):
    """A digest of every object compiled from the source, None when there is none.
    The builds carry no debug information, so a mutant in code the
    preprocessor leaves out gives the same objects."""
    stem = os.path.basename(path)
    digest, found = hashlib.sha256(), False
    for folder, _, names in os.walk(build_dir):
        for name in sorted(names):
            if name in (stem + '.o', stem + '.obj') and os.sep + 'CMakeFiles' + os.sep in folder + os.sep:
                digest.update(open(os.path.join(folder, name), 'rb').read())
                found = True
    return digest.hexdigest() if found else None


def seeded_order(module, files, seed):
    sites = []
    for path in files:
        sites += mutation_sites(path, open(os.path.join(SRC, path), encoding='utf-8').read())
    key = int(hashlib.sha256(f'{seed}:{module}'.encode()).hexdigest()[:12], 16)
    random.Random(key).shuffle(sites)
    return sites


def module_files(module):
    return sorted({os.path.relpath(p, SRC) for pat in MODULES[module][1] for p in glob.glob(os.path.join(SRC, pat))})


def recorded_survivors(log):
    """The survivors a log names, per module, found again among today's sites:
    at their recorded line when it still holds that text, else by the text alone."""
    wanted, module = {}, None
    for raw in open(log, encoding='utf-8'):
        header = re.match(r'== (\S+) ', raw)
        module = header.group(1) if header else module
        # The summary's "survivor MODULE: ..." lines, or the running "  survived  ..." ones.
        m = re.match(r'(?:survivor (\S+): |  survived  )(\S+?):(\d+): (.*?)  ->  (.*)$', raw.rstrip('\n'))
        if m:
            wanted.setdefault(m.group(1) or module, set()).add((m.group(2), int(m.group(3)), m.group(4), m.group(5)))
    chosen = {}
    for module, keys in wanted.items():
        sites = [site for path in module_files(module)
                 for site in mutation_sites(path, open(os.path.join(SRC, path), encoding='utf-8').read())]
        taken = set()
        for path, number, before, after in sorted(keys):
            same = [s for s in sites if (s[0], s[2].strip(), s[3].strip()) == (path, before, after)
                    and id(s) not in taken]
            site = next((s for s in same if s[1] == number), same[0] if same else None)
            if site:
                taken.add(id(site))
                chosen.setdefault(module, []).append(site)
    return chosen


def run_module(module, seed, count, equivalents, out, sites=None):
    kind, patterns, suites = MODULES[module]
    files = module_files(module)
    build = Build(kind)
    build.configure()
    if not build.build(suites):
        out(f'{module}: the unmutated build fails'); return None
    started = time.time()
    if build.test(suites, 600) != 0:
        out(f'{module}: the unmutated suites fail'); return None
    limit = max(60, int(3 * (time.time() - started)) // max(1, len(suites)) + 30)
    baseline_objects = {path: object_digest(build.dir, path) for path in files}
    killed, survivors, skipped, stillborn = 0, [], 0, 0
    for path, number, before, after, name in sites if sites is not None else seeded_order(module, files, seed):
        if killed + len(survivors) >= count:
            break
        if is_equivalent(equivalents, path, number, before, after):
            skipped += 1
            continue
        target = os.path.join(SRC, path)
        original = open(target, encoding='utf-8').read()
        lines = original.split('\n')
        lines[number - 1] = after
        unmutated = baseline_objects.get(path)
        try:
            with open(target, 'w', encoding='utf-8') as f:
                f.write('\n'.join(lines))
            if not build.build(suites):
                stillborn += 1
                continue
            if unmutated is not None and object_digest(build.dir, path) == unmutated:
                stillborn += 1   # in code this build leaves out
                continue
            status = build.test(suites, limit)
        finally:
            with open(target, 'w', encoding='utf-8') as f:
                f.write(original)
        label = f'{path}:{number}: {before.strip()}  ->  {after.strip()}'
        if status == 0:
            survivors.append(label)
            out(f'  survived  {label}')
        else:
            killed += 1
            out(f'  killed    {label}' + ('  (time limit)' if status == 'timeout' else ''))
    total = killed + len(survivors)
    build.build(suites)  # leave the scratch build unmutated
    return module, killed, total, skipped, stillborn, survivors


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--count', type=int, default=40, help='mutants that count, per module')
    parser.add_argument('--module', action='append', choices=sorted(MODULES))
    parser.add_argument('--list', action='store_true', help='print the sites of each module and stop')
    parser.add_argument('--recheck', metavar='LOG', help='run again the survivors an earlier run printed')
    parser.add_argument('--work', help='scratch folder (default build/mutation)')
    args = parser.parse_args()
    global WORK, SRC
    if args.work:
        WORK = os.path.abspath(args.work)
        SRC = os.path.join(WORK, 'src')
    modules = args.module or list(MODULES)

    # A terminating signal unwinds through the restoring `finally` like Ctrl+C does.
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    os.makedirs(SRC, exist_ok=True)
    sync_sources()
    equivalents = load_equivalents()
    if args.list:
        for module in modules:
            files = module_files(module)
            print(f'{module}: {sum(len(mutation_sites(f, open(os.path.join(SRC, f)).read())) for f in files)} sites')
        return 0

    def out(text):
        print(text, flush=True)

    results, failed = [], False
    rechecked = recorded_survivors(args.recheck) if args.recheck else None
    if rechecked is not None:
        modules = sorted(rechecked)
    for module in modules:
        sites = rechecked[module] if rechecked is not None else None
        out(f'== {module} ' + ('(survivors of ' + args.recheck + ')' if sites is not None else f'(seed {args.seed})'))
        result = run_module(module, args.seed, len(sites) if sites is not None else args.count, equivalents,
                            out, sites)
        if result is None:
            failed = True
        else:
            results.append(result)
    out('')
    run_name = f'survivors of {args.recheck}' if rechecked is not None else f'seed {args.seed}'
    out(f'{run_name}: module, killed / mutants, kill rate (equivalent skipped, not compiled or compiled out)')
    for module, killed, total, skipped, stillborn, survivors in results:
        rate = 100.0 * killed / total if total else 0.0
        out(f'{module:10} {killed:3} / {total:3}  {rate:5.1f}%  ({skipped} equivalent, {stillborn} not compiled or compiled out)')
    for module, *_, survivors in results:
        for label in survivors:
            out(f'survivor {module}: {label}')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
