#!/usr/bin/env python3
"""Fails when a function pointer taken from GetProcAddress lacks its calling convention.

  check_proc_types.py [ROOT]

On i686 a pointer declared without WINAPI calls a __stdcall function as
__cdecl and corrupts the stack; on x86_64 the mistake is invisible. So every
place where an address of an export becomes a typed pointer is found in the
sources (src/, tests/e2e/, bench/) and its type must name a convention.

Lookups: GetProcAddress, every function returning FARPROC, and every
function template that passes such a lookup on as its template parameter
(helpers like ScopedLibrary::Function<Fn> or Resolve(module, Fn& fn, name)),
found again and again until no new one appears. For each call the pointer
type is, in this order: the explicit template argument; the nearest enclosing
cast other than to void*/FARPROC; for a helper whose parameter is Fn&, the
declared type of the argument; for a variable initialised with the call, the
cast applied to that variable later, or the variable's own type. The type is
accepted when it names a convention (WINAPI, CALLBACK, APIENTRY, NTAPI,
STDAPICALLTYPE, __stdcall; WINAPIV, CDECL, __cdecl for deliberately cdecl
exports), is decltype(&Function) (the system's own declaration), or is an
integer kept as an address. Type names are followed through using/typedef in
the sources and, failing that, in the MinGW-w64 headers.
"""
import pathlib
import re
import sys

CONVENTIONS = re.compile(r"\b(WINAPI|CALLBACK|APIENTRY|NTAPI|STDAPICALLTYPE|__stdcall|WINAPIV|CDECL|__cdecl|PASCAL)\b")
INTEGERS = {"std::uintptr_t", "uintptr_t", "DWORD_PTR", "UINT_PTR", "ULONG_PTR", "INT_PTR", "std::intptr_t"}
PASS_THROUGH = {"void*", "constvoid*", "FARPROC", "PROC"}
HEADER_DIRS = [pathlib.Path("/usr/share/mingw-w64/include"), pathlib.Path("/usr/x86_64-w64-mingw32/include"),
               pathlib.Path("/usr/i686-w64-mingw32/include")]
NOT_DECLARATION_BEFORE = {"return", "else", "case", "co_return", "throw"}


def strip(text: str) -> str:
    """Comments and literal contents blanked, offsets kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * (j - i - 1) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def balanced(text: str, start: int, open_c: str, close_c: str) -> int:
    """Index just after the bracket closing the one at `start`."""
    depth = 0
    for i in range(start, len(text)):
        if text[i] == open_c:
            depth += 1
        elif text[i] == close_c:
            depth -= 1
            if depth == 0:
                return i + 1
    return len(text)


def compact(t: str) -> str:
    return re.sub(r"\s+", "", t).replace("const", "") if t else t


class Sources:
    def __init__(self, root: pathlib.Path):
        self.files = {}
        for folder in ("src", "tests/e2e", "bench"):
            for path in sorted((root / folder).rglob("*")):
                if path.suffix in (".h", ".cpp") and path.is_file():
                    self.files[path] = strip(path.read_text(encoding="utf-8"))
        self.types = {}
        for text in self.files.values():
            for m in re.finditer(r"\busing\s+(\w+)\s*=\s*([^;]+);", text):
                self.types[m.group(1)] = m.group(2)
            for m in re.finditer(r"\btypedef\s+([^;]*?)\(\s*([^()*]*?)\*\s*(\w+)\s*\)\s*\(", text):
                self.types[m.group(3)] = m.group(0)
        self.header_cache = {}

    def header_type(self, name: str):
        if name in self.header_cache:
            return self.header_cache[name]
        found = None
        pattern = re.compile(r"typedef[^;]*?\(\s*[\w\s]*\*\s*" + re.escape(name) + r"\s*\)\s*\(")
        for d in HEADER_DIRS:
            if found or not d.is_dir():
                continue
            for h in d.glob("*.h"):
                m = pattern.search(h.read_text(encoding="latin-1"))
                if m:
                    found = m.group(0)
                    break
        self.header_cache[name] = found
        return found


def enclosing_template(text: str, pos: int):
    """(template parameter, function name, body start) of the function around pos."""
    best = None
    for m in re.finditer(r"template\s*<\s*(?:class|typename)\s+(\w+)\s*>\s*([^;{}]*?)\b(\w+)\s*\(", text):
        if m.start() > pos:
            break
        params_end = balanced(text, m.end() - 1, "(", ")")
        brace = text.find("{", params_end)
        if brace < 0 or text[params_end:brace].strip(" \n\tconstnoexcept") not in ("",):
            continue
        end = balanced(text, brace, "{", "}")
        if brace < pos < end:
            best = (m.group(1), m.group(3), text[m.end():params_end - 1])
    return best


def find_loaders(src: Sources):
    """name -> (kind, detail): 'plain' lookups and 'template' helpers."""
    loaders = {"GetProcAddress": ("plain", None)}
    for text in src.files.values():
        for m in re.finditer(r"\b(?:FARPROC|PROC)\s+(?:\w+::)?(\w+)\s*\(", text):
            loaders.setdefault(m.group(1), ("plain", None))
    changed = True
    while changed:
        changed = False
        for text in src.files.values():
            for m in re.finditer(r"template\s*<\s*(?:class|typename)\s+(\w+)\s*>\s*([^;{}]*?)\b(\w+)\s*\(", text):
                name = m.group(3)
                if name in loaders:
                    continue
                params_end = balanced(text, m.end() - 1, "(", ")")
                brace = text.find("{", params_end)
                if brace < 0 or text[params_end:brace].strip() not in ("", "const", "noexcept", "const noexcept"):
                    continue
                body = text[brace:balanced(text, brace, "{", "}")]
                if any(re.search(r"\b" + re.escape(l) + r"\s*[<(]", body) for l in loaders):
                    params = [p.strip() for p in split_args(text[m.end():params_end - 1])]
                    ref = next((i for i, p in enumerate(params) if re.match(re.escape(m.group(1)) + r"\s*&", p)), None)
                    loaders[name] = ("template", ref)
                    changed = True
    return loaders


def split_args(s: str):
    args, depth, cur = [], 0, ""
    for c in s:
        if c in "(<[{":
            depth += 1
        elif c in ")>]}":
            depth -= 1
        if c == "," and depth == 0:
            args.append(cur)
            cur = ""
        else:
            cur += c
    if cur.strip():
        args.append(cur)
    return args


def is_declaration(text: str, start: int) -> bool:
    before = text[:start].rstrip()
    while before.endswith("::"):
        before = re.sub(r"\w*::$", "", before).rstrip()
    m = re.search(r"(\w+)$", before)
    return bool(m and m.group(1) not in NOT_DECLARATION_BEFORE) or before.endswith(("*", "&"))


def enclosing_casts(text: str, start: int, end: int):
    """Types of the casts whose argument holds text[start:end], innermost first."""
    found = []
    for m in re.finditer(r"\b(?:reinterpret_cast|static_cast)\s*<", text[max(0, start - 400):start]):
        open_angle = max(0, start - 400) + m.end() - 1
        close_angle = balanced(text, open_angle, "<", ">")
        if text[close_angle:close_angle + 1] != "(":
            continue
        arg_end = balanced(text, close_angle, "(", ")")
        if close_angle < start and end <= arg_end:
            found.append((close_angle, text[open_angle + 1:close_angle - 1].strip()))
    found.sort(reverse=True)
    return [t for _, t in found]


def type_ok(src: Sources, t: str, template_params, depth=0):
    """None when fine, else why not."""
    t = t.strip()
    c = compact(t)
    if c in template_params:
        return None
    if "decltype(&" in c:
        return None
    if c in {compact(i) for i in INTEGERS}:
        return None
    if "(" in t and "*" in t:
        return None if CONVENTIONS.search(t) else f"'{t}' names no calling convention"
    name = c.split("::")[-1]
    if depth < 5 and name in src.types:
        return type_ok(src, src.types[name], template_params, depth + 1)
    header = src.header_type(name)
    if header:
        return None if CONVENTIONS.search(header) else f"'{name}' (system header) names no calling convention"
    return f"cannot find the declaration of '{t}'"


def check(root: pathlib.Path):
    src = Sources(root)
    loaders = find_loaders(src)
    faults, seen = [], 0
    call = re.compile(r"\b(" + "|".join(re.escape(l) for l in loaders) + r")\s*(<|\()")
    for path, text in src.files.items():
        for m in call.finditer(text):
            name, opener = m.group(1), m.group(2)
            if is_declaration(text, m.start()):
                continue
            explicit = None
            paren = m.end() - 1
            if opener == "<":
                close = balanced(text, paren, "<", ">")
                explicit = text[paren + 1:close - 1]
                paren = close
                if text[paren:paren + 1] != "(":
                    continue
            end = balanced(text, paren, "(", ")")
            line = text.count("\n", 0, m.start()) + 1
            where = f"{path.relative_to(root)}:{line}"
            outer = enclosing_template(text, m.start())
            params = {outer[0]} if outer else set()
            kind, ref = loaders[name]
            seen += 1
            if explicit is not None:
                target = explicit
            elif kind == "template" and ref is not None:
                args = split_args(text[paren + 1:end - 1])
                ident = re.findall(r"\w+", args[ref])[-1] if ref < len(args) else ""
                decl = re.search(r"([\w:]+)\s+" + re.escape(ident) + r"\s*(?:=|;|\{)", text)
                target = decl.group(1) if decl else f"<type of {ident}>"
            else:
                casts = [t for t in enclosing_casts(text, m.start(), end) if compact(t) not in PASS_THROUGH]
                target = casts[0] if casts else None
                if target is None:
                    stmt_start = max(text.rfind(";", 0, m.start()), text.rfind("{", 0, m.start()),
                                     text.rfind("}", 0, m.start())) + 1
                    # The call's object or scope ("system_.", "::") is not part of the declaration.
                    stmt = re.sub(r"(?:[\w\[\]().]*(?:\.|->)|::)\s*$", "", text[stmt_start:m.start()])
                    var = re.search(r"(?:([\w:]+)\s+)?(\w+)\s*=\s*$", stmt)
                    if re.match(r"\s*return\b", stmt) and outer:
                        continue  # a helper handing the address on: its callers are checked
                    if re.match(r"\s*return\b", stmt) and re.search(r"\b(FARPROC|PROC)\b", text[max(0, stmt_start - 600):stmt_start]):
                        continue  # a FARPROC-returning lookup: its callers are checked
                    if var:
                        later = text[end:end + 3000]
                        used = [mm for mm in re.finditer(r"\b(?:reinterpret_cast|static_cast)\s*<", later)]
                        for mm in used:
                            a = mm.end() - 1
                            b = balanced(later, a, "<", ">")
                            arg_end = balanced(later, b, "(", ")")
                            if re.search(r"\b" + re.escape(var.group(2)) + r"\b", later[b:arg_end]):
                                t = later[a + 1:b - 1].strip()
                                if compact(t) not in PASS_THROUGH:
                                    target = t
                                    break
                        if target is None:
                            target = var.group(1)
                if target is None:
                    faults.append(f"{where}: {name}(...) becomes a pointer of a type this check cannot see")
                    continue
            why = type_ok(src, target, params)
            if why:
                faults.append(f"{where}: {name}(...) as {why}")
    return faults, seen


def main() -> int:
    root = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent
    faults, seen = check(root)
    for fault in faults:
        print(fault)
    print(f"{seen} lookup(s) of exports, {len(faults)} without a declared calling convention")
    return 1 if faults or seen == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
