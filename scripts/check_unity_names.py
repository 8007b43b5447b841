#!/usr/bin/env python3
"""Keeps the sources of each unity-built target safe to compile together.

A target built with UNITY_BUILD compiles its .cpp files a batch at a time,
each batch one translation unit: what one file declares for itself is seen
by the files after it. A repeated name is then a compile error at best, and
at worst an overload of another file silently wins. Which files share a
batch changes as files come and go, so the rule holds for the whole target:
no name a file keeps for itself repeats in another file of the target.

The targets and their sources come from the listing the build writes at
configure time (unity_sources.txt in the build folder, written by
cmake/KvTargets.cmake): one line per target, "<target>: <file> <file> ...".
For every file the check reads, outside functions and classes:

  - the names the file keeps for itself: everything in an anonymous
    namespace (functions, variables, types, aliases, using-declarations,
    unscoped enumerators, gmock matchers), and outside one the `static`
    functions and variables, the `const` and `constexpr` variables and the
    types and aliases it defines;
  - the functions and variables it defines for other files, unqualified
    in a namespace (an internal name beside them decides which one code
    after both calls);
  - in the headers of this tree that the target's files include (directly
    or through other headers), every name declared outside functions and
    classes: a header another file of the batch includes is seen by a file
    that does not include it;
  - `using namespace` directives outside a function or a class (a directive
    stays in force for every file after it; those of the standard's literal
    suffixes, std::literals and its parts, change no lookup and are
    allowed);
  - `#define`s that the file does not `#undef` again.

It fails when two files of one target declare the same name where code of
one can see the other's (the same namespace, or one file's namespace
inside the other's where that other file has code too), unless both are
only shared definitions or both are the same alias of the same thing; and
when a file's own name meets, in the same way, a name of a header that the
file itself does not include but another file of the target does.
Overloaded operators are left out (they are told apart by their types), as
is anything declared inside a function or a class, and so are headers
generated in the build folder and system headers. The reading is a light
one, not a compiler's: a source it cannot follow is reported, never
guessed; a header it cannot follow is left out. What it cannot see (two
system headers that cannot meet, as <termios.h> and the kernel's termios2)
the compiler reports, and the file then compiles alone (kv_compile_alone).

    scripts/check_unity_names.py <build folder or listing>
"""
import pathlib
import re
import sys

ALLOWED_DIRECTIVES = re.compile(
    r"^(::)?std::(literals(::\w+_literals)?|\w+_literals|chrono::literals)$")
CLASS_KEYS = ("class", "struct", "union")
MACRO_NAME = re.compile(r"^[A-Z_][A-Z0-9_]*$|^wx[A-Z_]+$")
MATCHERS = re.compile(r"^(MATCHER|ACTION)(_P\d*)?$")
SPECIFIERS_SKIPPED = ("__attribute__", "alignas", "__declspec")
TOKEN = re.compile(r"""
    (?P<raw>R"(?P<delim>[^()\\\s]{0,16})\((?:.|\n)*?\)(?P=delim)")
  | (?P<string>(?:u8|u|U|L)?"(?:\\.|[^"\\\n])*")
  | (?P<char>(?:u8|u|U|L)?'(?:\\.|[^'\\\n])*')
  | (?P<name>[A-Za-z_]\w*)
  | (?P<number>\.?\d(?:[\w.']|[eEpP][+-])*)
  | (?P<punct>::|->|\.\.\.|<<=|>>=|[-+*/%&|^!=<>]=|&&|\|\||<<|\+\+|--|[{}()\[\];,<>=~*&.:?+\-/%!|^#])
  | (?P<space>\s+)
""", re.VERBOSE)


class Unreadable(Exception):
    pass


class Declared:
    """A name a file declares: where, how, and whether it is its own."""

    def __init__(self, name, path, line, kind, own, alias=None):
        self.name = name
        self.path = path        # the named namespaces around it
        self.line = line
        self.kind = kind        # "function", "variable", "type", "alias", "enumerator"
        self.own = own          # internal linkage, or a type of this file
        self.alias = alias      # what an alias names, as text


class Source:
    def __init__(self, path, header=False):
        self.path = path
        self.header = header    # a header: its declarations count too
        self.names = []
        self.opened = set()     # the namespace paths it has code in
        self.leaks = []         # (line, text) of what stays in force after it
        self.includes = []      # the headers of this tree it includes


def strip_comments(text):
    """The text with comments blanked (lines kept), strings untouched."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        elif c in "\"'":
            m = TOKEN.match(text, i - 1 if i and text[i - 1] == "R" and c == '"' else i)
            if m and m.lastgroup == "raw" and m.start() < i:
                out.append(text[i:m.end()])
                i = m.end()
                continue
            m = TOKEN.match(text, i)
            if not m or m.lastgroup not in ("string", "char"):
                out.append(c)
                i += 1
                continue
            out.append(m.group())
            i = m.end()
        else:
            out.append(c)
            i += 1
    return "".join(out)


def preprocess(text, source):
    """Code lines without directives; records the #defines left defined."""
    text = strip_comments(text)
    defined = {}
    lines = text.split("\n")
    continued = False
    for number, line in enumerate(lines, 1):
        m = re.match(r"\s*#\s*(\w+)\s*(\w*)", line)
        if continued or m:
            lines[number - 1] = ""
        continued = (continued or m) and line.rstrip().endswith("\\")
        if not m:
            continue
        if m.group(1) == "define":
            defined[m.group(2)] = number
        elif m.group(1) == "undef":
            defined.pop(m.group(2), None)
    for name, number in sorted(defined.items(), key=lambda item: item[1]):
        source.leaks.append((number, f"#define {name} is not #undef'd at the end"))
    return "\n".join(lines)


def tokenize(text):
    tokens = []
    line = 1
    pos = 0
    while pos < len(text):
        m = TOKEN.match(text, pos)
        if not m:
            raise Unreadable(f"line {line}: cannot read {text[pos:pos + 20]!r}")
        kind = m.lastgroup
        if kind in ("raw", "string", "char"):
            tokens.append(("\"", line))
        elif kind != "space":
            tokens.append((m.group(), line))
        line += m.group().count("\n")
        pos = m.end()
    return tokens


class Reader:
    """Walks the namespace-scope declarations of one file's tokens."""

    def __init__(self, tokens, source):
        self.tokens = tokens
        self.source = source

    def text(self, i):
        return self.tokens[i][0] if i < len(self.tokens) else ""

    def line(self, i):
        return self.tokens[min(i, len(self.tokens) - 1)][1] if self.tokens else 0

    def closing(self, i):
        """The index after the bracket group that opens at i."""
        pairs = {"(": ")", "[": "]", "{": "}"}
        stack = []
        for j in range(i, len(self.tokens)):
            t = self.tokens[j][0]
            if t in pairs:
                stack.append(pairs[t])
            elif t in (")", "]", "}"):
                if not stack or stack.pop() != t:
                    raise Unreadable(f"line {self.tokens[j][1]}: unbalanced {t}")
                if not stack:
                    return j + 1
        raise Unreadable(f"line {self.line(i)}: {self.text(i)} is never closed")

    def angle_closing(self, i):
        """The index after the template argument list that opens at i."""
        depth = 0
        j = i
        while j < len(self.tokens):
            t = self.text(j)
            if t in ("(", "[", "{"):
                j = self.closing(j)
                continue
            if t == "<":
                depth += 1
            elif t == ">":
                depth -= 1
            elif t == ">>":
                depth -= 2
            if depth <= 0:
                return j + 1
            j += 1
        raise Unreadable(f"line {self.line(i)}: template list never closed")

    def scope(self, i, path, anonymous, whole_file=False):
        """Reads declarations from i to the closing brace; returns its index + 1."""
        self.source.opened.add(path)
        while i < len(self.tokens):
            t = self.text(i)
            if t == "}" and whole_file:
                raise Unreadable(f"line {self.line(i)}: a closing brace too many")
            if t == "}":
                return i + 1
            if t == "inline" and self.text(i + 1) == "namespace":
                i += 1
            elif t == ";":
                i += 1
            elif t == "namespace":
                i = self.namespace(i, path, anonymous)
            elif t == "extern" and self.text(i + 1) == "\"" and self.text(i + 2) == "{":
                i = self.scope(i + 3, path, anonymous)
            elif t == "using" and self.text(i + 1) == "namespace":
                end = self.statement_end(i)
                target = "".join(tok for tok, _ in self.tokens[i + 2:end - 1])
                if not ALLOWED_DIRECTIVES.match(target):
                    self.source.leaks.append(
                        (self.line(i), f"using namespace {target} stays in force after the file"))
                i = end
            else:
                i = self.declaration(i, path, anonymous)
        if path or anonymous:
            raise Unreadable("a namespace is never closed")
        return i

    def statement_end(self, i):
        while i < len(self.tokens) and self.text(i) != ";":
            i = self.closing(i) if self.text(i) in ("(", "[", "{") else i + 1
        return i + 1

    def namespace(self, i, path, anonymous):
        j = i + 1
        parts = []
        while self.text(j) not in ("{", "=", ""):
            if self.text(j) not in ("::", "inline"):
                parts.append(self.text(j))
            j += 1
        if self.text(j) == "=":
            end = self.statement_end(j)
            target = "".join(tok for tok, _ in self.tokens[j + 1:end - 1]).lstrip(":")
            self.add(parts[-1], path, self.line(i), "alias", anonymous, alias=target)
            return end
        if not parts:
            return self.scope(j + 1, path, True)
        return self.scope(j + 1, path + tuple(parts), anonymous)

    def add(self, name, path, line, kind, own, alias=None):
        self.source.names.append(Declared(name, path, line, kind, own, alias))

    def declaration(self, i, path, anonymous):
        start = i
        if self.text(i) == "template":
            i = self.angle_closing(i + 1) if self.text(i + 1) == "<" else i + 1
        first = self.text(i)
        # A macro at namespace scope (TEST, MATCHER, an event table entry):
        # its parentheses, then a body, a semicolon, or the next declaration.
        if re.match(r"^\w+$", first) and self.text(i + 1) == "(" and first not in (
                "decltype", "alignas", "__attribute__"):
            end = self.closing(i + 1)
            if MATCHERS.match(first) and re.match(r"^\w+$", self.text(i + 2)):
                self.add(self.text(i + 2), path, self.line(i), "function", True)
            if self.text(end) == "{":
                return self.closing(end)
            return end + 1 if self.text(end) == ";" else end
        head = []   # the tokens before an initializer or a body
        j = i
        while j < len(self.tokens):
            t = self.text(j)
            if head and self.text(head[-1][0]) == "operator" and t not in ("(", "["):
                head.append((j, j + 1))     # the operator's own symbol
                j += 1
            elif t in ("[", "("):
                end = self.closing(j)
                head.append((j, end))
                j = end
            elif t in ("=", ";", "{", "}") or (t == ":" and self.is_class(head)):
                break
            elif t == ":" and head and self.text(head[-1][0]) == "(":
                j = self.initializers(j + 1)    # a constructor's, up to its body
                break
            else:
                head.append((j, j + 1))
                j += 1
        if not head:
            raise Unreadable(f"line {self.line(start)}: cannot read a declaration")
        words = [self.text(a) for a, b in head if b == a + 1]
        t = self.text(j)
        if self.is_class(head):
            return self.class_definition(head, j, path, anonymous)
        if words[0] == "using":
            end = self.statement_end(j)
            if t == "=":
                target = " ".join(tok for tok, _ in self.tokens[j + 1:end - 1])
                self.add(words[1], path, self.line(start), "alias", True, alias=target)
            elif len(words) > 2 and words[-2] == "::" and words[1] != "enum":
                # A using-declaration names what it brings in.
                target = "".join(w for w in words[1:] if w != "typename").lstrip(":")
                self.add(words[-1], path, self.line(start), "alias", True, alias=target)
            return end
        if words[0] == "typedef":
            self.typedef(head, path)
            return self.statement_end(j)
        if "operator" in words or "friend" in words or words[0] in ("static_assert", "extern"):
            return self.rest(j, head)
        self.function_or_variable(head, j, path, anonymous, start)
        return self.rest(j, head)

    def initializers(self, j):
        """Skips a constructor's member initializers; returns its body's index."""
        while j < len(self.tokens) and self.text(j) != "{":
            j += 1
            while self.text(j) not in ("(", "{", ""):
                j += 1
            j = self.closing(j)
            if self.text(j) == ",":
                j += 1
            elif self.text(j) == "{":
                return j
        raise Unreadable(f"line {self.line(j)}: a constructor without a body")

    def is_class(self, head):
        words = [self.text(a) for a, b in head]
        return bool(words) and (words[0] in CLASS_KEYS or words[0] == "enum") and not any(
            w in ("(", "=") for w in words)

    def rest(self, j, head):
        """Skips an initializer or a body to the end of the declaration."""
        t = self.text(j)
        if t == "{" and head and self.text(head[-1][0]) != "=" and any(
                self.text(a) == "(" for a, _ in head):
            return self.closing(j)          # a function body
        return self.statement_end(j)

    def class_definition(self, head, j, path, anonymous):
        words = [self.text(a) for a, b in head if b == a + 1]
        key = words[0]
        names = [w for w in words[1:] if re.match(r"^\w+$", w) and w not in (
            "class", "struct", "final", *SPECIFIERS_SKIPPED)]
        if self.text(j) == ":":
            while self.text(j) not in ("{", ";", ""):
                j = self.closing(j) if self.text(j) in ("(", "[") else j + 1
        if self.text(j) != "{" or not names:
            return self.statement_end(j)    # a declaration of a class, no definition
        if "::" in words or words[words.index(names[0]) + 1:][:1] == ["<"]:
            # A member of another class, or a specialization of a template.
            return self.statement_end(self.closing(j))
        self.add(names[0], path, self.line(head[0][0]), "type", True)
        end = self.closing(j)
        if key == "enum" and words[1:2] not in (["class"], ["struct"]):
            k, expect = j + 1, True
            while k < end - 1:
                t = self.text(k)
                if expect and re.match(r"^[A-Za-z_]\w*$", t):
                    self.add(t, path, self.line(k), "enumerator", True)
                expect = t == ","
                k = self.closing(k) if t in ("(", "[", "{") else k + 1
        return self.statement_end(end)

    def typedef(self, head, path):
        words = [self.text(a) for a, b in head]
        names = [w for w in words if re.match(r"^\w+$", w)]
        if names and "(" not in words:
            target = " ".join(words[1:-1])
            self.add(names[-1], path, self.line(head[0][0]), "alias", True, alias=target)

    def function_or_variable(self, head, j, path, anonymous, start):
        # The declared name: the last plain name before the first group of
        # parentheses (a function, or a variable given its value in
        # parentheses), or before an initializer or the semicolon.
        paren = self.parameters(head)
        before = head[:paren] if paren is not None else head
        while before and self.text(before[-1][0]) == "[":
            before = before[:-1]            # an array's bounds
        if not before:
            return
        a, b = before[-1]
        name = self.text(a)
        if b != a + 1 or not re.match(r"^[A-Za-z_]\w*$", name) or name in (
                "const", "noexcept", "override", "final"):
            return
        if len(before) > 1 and self.text(before[-2][0]) == "::":
            return                          # defined here, declared elsewhere
        specifiers = [self.text(x) for x, y in before[:-1] if y == x + 1]
        if len(specifiers) == 0:
            return                          # not a declaration
        function = paren is not None and not self.is_value_in_parens(head, paren)
        kind = "function" if function else "variable"
        own = anonymous or "static" in specifiers
        if not own and not function and "extern" not in specifiers and "inline" not in specifiers:
            own = "constexpr" in specifiers or self.top_level_const(specifiers)
        if not own and function and self.text(j) != "{" and not self.source.header:
            return                          # only a declaration of a shared function
        self.add(name, path, self.line(a), kind, own)

    def parameters(self, head):
        """The index in head of the first parentheses outside template
        arguments (a return type of std::function<R(A)> holds some)."""
        depth = 0
        for k, (a, b) in enumerate(head):
            t = self.text(a)
            if t == "(" and depth == 0:
                return k
            if t == "<" and k and re.match(r"^\w+$", self.text(head[k - 1][0])):
                depth += 1
            elif t in (">", ">>") and depth:
                depth = max(0, depth - len(t))
        return None

    def is_value_in_parens(self, head, paren):
        """Whether parentheses after a name hold values rather than parameters:
        told apart only where it is plain (a literal first)."""
        a, b = head[paren]
        inner = self.text(a + 1) if b > a + 2 else ""
        return bool(re.match(r"^[\d\"']", inner)) or inner == "\""

    @staticmethod
    def top_level_const(specifiers):
        if "const" not in specifiers:
            return False
        pointers = [k for k, w in enumerate(specifiers) if w in ("*", "&", "&&")]
        last_const = max(k for k, w in enumerate(specifiers) if w == "const")
        if any(w in ("&", "&&") for w in specifiers):
            return False
        return not pointers or last_const > pointers[-1]


INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def our_header(including, name):
    """The header of this tree that `#include "name"` in file `including`
    reads: beside it, or from a folder above it; None for any other."""
    folder = pathlib.Path(including).parent
    for base in (folder, *folder.parents):
        candidate = base / name
        if candidate.is_file():
            return str(candidate.resolve())
    return None


def read_source(path, header=False):
    source = Source(path, header)
    text = pathlib.Path(path).read_text(encoding="utf-8", errors="replace")
    source.includes = [h for h in (our_header(path, n) for n in INCLUDE.findall(text)) if h]
    reader = Reader(tokenize(preprocess(text, source)), source)
    reader.scope(0, (), False, whole_file=True)
    return source


def visible(a, b):
    """Whether code of file a can see b's name, or b's code a's."""
    pa, pb = a[1].path, b[1].path
    if pa == pb:
        return True
    inner, outer = (a, b) if pa[:len(pb)] == pb else (b, a)
    if inner[1].path[:len(outer[1].path)] != outer[1].path:
        return False                        # neither namespace holds the other
    # The inner name hides or joins the outer one for the outer file's code
    # that lies in the inner namespace.
    opened = outer[0].opened
    return any(p[:len(inner[1].path)] == inner[1].path for p in opened)


def clash(a, b):
    (_, x), (_, y) = a, b
    if not (x.own or y.own):
        return False                        # shared definitions, the linker's concern
    if x.kind == y.kind == "alias" and x.alias == y.alias:
        return False                        # the same alias of the same thing
    return visible(a, b)


class Headers:
    """The headers of this tree, each read once, and what each includes."""

    def __init__(self):
        self.read = {}

    def get(self, path):
        if path not in self.read:
            try:
                self.read[path] = read_source(path, header=True)
            except Unreadable:
                self.read[path] = None      # only a file compiled counts as unreadable
        return self.read[path]

    def closure(self, includes):
        """Every header of the tree that these includes bring in."""
        seen = set()
        pending = list(includes)
        while pending:
            path = pending.pop()
            if path in seen:
                continue
            seen.add(path)
            header = self.get(path)
            if header is not None:
                pending += header.includes
        return seen


def check_target(target, files, headers=None):
    headers = headers or Headers()
    faults = []
    sources = []
    for path in files:
        try:
            sources.append(read_source(path))
        except Unreadable as error:
            faults.append(f"{target}: {path}: {error}")
    by_name = {}
    for source in sources:
        for leak_line, leak in source.leaks:
            faults.append(f"{target}: {source.path}:{leak_line}: {leak}")
        for declared in source.names:
            by_name.setdefault(declared.name, []).append((source, declared))
    for name, entries in sorted(by_name.items()):
        reported = set()
        for k, a in enumerate(entries):
            for b in entries[k + 1:]:
                if a[0] is b[0] or not clash(a, b):
                    continue
                key = (a[0].path, b[0].path)
                if key in reported:
                    continue
                reported.add(key)
                faults.append(f"{target}: {name} is declared by {a[0].path}:{a[1].line} "
                              f"and {b[0].path}:{b[1].line}")
    faults += header_clashes(target, sources, headers)
    return faults


def header_clashes(target, sources, headers):
    """A file's own names against the headers only its batch-mates include."""
    faults = []
    seen_by = {source.path: headers.closure(source.includes) for source in sources}
    every = set().union(*seen_by.values()) if seen_by else set()
    declared = {}
    for path in sorted(every):
        header = headers.get(path)
        for name in header.names if header else []:
            declared.setdefault(name.name, []).append((header, name))
    for source in sources:
        for own in source.names:
            if not own.own:
                continue
            for header, name in declared.get(own.name, []):
                if header.path in seen_by[source.path] or not clash((source, own), (header, name)):
                    continue
                faults.append(f"{target}: {own.name} is declared by {source.path}:{own.line} "
                              f"and by {header.path}:{name.line}, which another file "
                              f"of the target includes")
                break
    return faults


def read_listing(path):
    path = pathlib.Path(path)
    if path.is_dir():
        path = path / "unity_sources.txt"
    targets = []
    for line in path.read_text(encoding="utf-8").splitlines():
        if ":" in line:
            target, files = line.split(":", 1)
            targets.append((target.strip(), files.split()))
    return targets


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1].strip())
        return 2
    faults = []
    headers = Headers()
    for target, files in read_listing(sys.argv[1]):
        existing = [f for f in files if pathlib.Path(f).exists()]
        faults += check_target(target, existing, headers)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} fault(s) make files unsafe to compile together")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
