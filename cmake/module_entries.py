#!/usr/bin/env python3
"""Writes the program's side of a module that is loaded on first use (see src/core/Modules.h).

For every function the module exports, a symbol of the same name that jumps through a slot. The
slot first holds a stub that has the module loaded, looks the function up, stores it in the slot
and goes on to it, so later calls cost one indirect jump; arguments pass through untouched.
The file also refers to everything of ours the module calls, so that the program links it in
even where nothing else in the program uses it.

    module_entries.py MODULE OUTPUT ARCHIVE...   (ARCHIVE: the layers' static libraries)
"""
import os
import subprocess
import sys


def symbols(*args):
    out = subprocess.run(["nm", "--format=posix", *args], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        fields = line.split()
        if len(fields) >= 2 and not line.endswith(":"):
            yield fields[0].split("@")[0], fields[1]


def main():
    module, output, archives = sys.argv[1], sys.argv[2], sys.argv[3:]
    # Strong functions only: inline and template code stays with whoever uses it.
    exported = sorted({name for name, kind in symbols("-D", "--defined-only", module)
                       if kind == "T" and name not in ("_init", "_fini")})
    if not exported:
        sys.exit(f"{module} exports no functions")
    needed = {name for name, kind in symbols("-D", "--undefined-only", module) if kind == "U"}
    ours = set()
    for archive in archives:
        ours.update(name for name, kind in symbols("--defined-only", archive) if kind in "TDBRVWu")
    kept = sorted(needed & ours)

    file = os.path.basename(module)
    lines = [f"// Generated from {file} by cmake/module_entries.py.",
             '#include "core/Modules.h"',
             'asm(R"(',
             "  .section .rodata",
             f'.Lmodule: .string "{file}"']
    lines += [f'.Lname{i}: .string "{name}"' for i, name in enumerate(exported)]
    lines += ["  .section .data.rel.ro,\"aw\"", "  .p2align 3", ".Lnames:"]
    lines += [f"  .quad .Lname{i}" for i in range(len(exported))]
    lines += [".Lneeded:"] + [f"  .quad {name}" for name in kept]
    lines += ["  .data", "  .p2align 3", ".Lslots:"]
    lines += [f"  .quad .Lfirst{i}" for i in range(len(exported))]
    lines += ["  .text"]
    for i, name in enumerate(exported):
        lines += [f"  .globl {name}", f"  .type {name}, @function", f"{name}:",
                  f"  jmp *.Lslots+{i * 8}(%rip)", f"  .size {name}, .-{name}",
                  f".Lfirst{i}:", f"  movl ${i}, %r11d", "  jmp .Lresolve"]
    # Saves every register that can carry an argument (rax: the vector count of a variadic
    # call; r10: the static chain), asks for the function with the stack aligned, restores
    # them and jumps.
    saved = ["rdi", "rsi", "rdx", "rcx", "r8", "r9", "rax", "r10"]
    lines += [".Lresolve:", "  push %rbp", "  mov %rsp, %rbp", "  sub $192, %rsp"]
    lines += [f"  mov %{reg}, {i * 8}(%rsp)" for i, reg in enumerate(saved)]
    lines += [f"  movdqa %xmm{i}, {64 + i * 16}(%rsp)" for i in range(8)]
    lines += ["  lea .Lmodule(%rip), %rdi", "  lea .Lnames(%rip), %rsi", "  mov (%rsi,%r11,8), %rsi",
              "  lea .Lslots(%rip), %rdx", "  lea (%rdx,%r11,8), %rdx",
              "  call varnoltModuleEntry@PLT", "  mov %rax, %r11"]
    lines += [f"  mov {i * 8}(%rsp), %{reg}" for i, reg in enumerate(saved)]
    lines += [f"  movdqa {64 + i * 16}(%rsp), %xmm{i}" for i in range(8)]
    lines += ["  leave", "  jmp *%r11", ')");', ""]
    text = "\n".join(lines)
    try:
        with open(output) as existing:
            if existing.read() == text:
                return
    except FileNotFoundError:
        pass
    with open(output, "w") as out:
        out.write(text)


main()
