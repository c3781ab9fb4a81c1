#!/usr/bin/env python3
"""The include graph of the sources: no class pair includes itself through others, and each
folder includes only the folders below it. Prints every fault and exits 1 on any."""
import os
import re
import sys

# Each folder and the folders whose headers it may include, besides its own.
ALLOWED = {
    "fluid": set(),
    "sim": {"fluid"},
    "validation": {"fluid"},
    "display": {"fluid"},
    "controller": {"sim", "fluid"},
    "view": {"display", "controller", "sim", "fluid"},
    "files": {"sim", "fluid", "display"},
    "cli": {"files", "validation", "view", "display", "controller", "sim", "fluid"},
    "app": {"cli", "files", "view", "display", "controller", "sim", "fluid"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def modules(root):
    """Each class pair (folder/Name, its .h and .cpp) and the headers it includes."""
    headers, found = {}, {}
    for folder in ALLOWED:
        for name in sorted(os.listdir(os.path.join(root, folder))):
            stem, ext = os.path.splitext(name)
            if ext in (".h", ".cpp"):
                found.setdefault(folder + "/" + stem, []).append(os.path.join(root, folder, name))
                if ext == ".h":
                    headers[name] = folder + "/" + stem
    graph = {}
    for module, files in found.items():
        included = set()
        for path in files:
            with open(path, encoding="utf-8") as source:
                for header in INCLUDE.findall(source.read()):
                    target = headers.get(os.path.basename(header))
                    if target is not None and target != module:
                        included.add(target)
        graph[module] = included
    return graph


def cycles(graph):
    """Each circle of includes, once, as the modules along it."""
    found, state, stack = [], {}, []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for nxt in sorted(graph[node]):
            if state.get(nxt) == "open":
                found.append(stack[stack.index(nxt):] + [nxt])
            elif nxt not in state:
                visit(nxt)
        stack.pop()
        state[node] = "done"

    for node in sorted(graph):
        if node not in state:
            visit(node)
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    graph = modules(root)
    faults = [" -> ".join(c) + ": a circle of includes" for c in cycles(graph)]
    for module, included in sorted(graph.items()):
        folder = module.split("/")[0]
        for target in sorted(included):
            other = target.split("/")[0]
            if other != folder and other not in ALLOWED[folder]:
                faults.append(f"{module} includes {target}: {folder}/ does not build on {other}/")
    for fault in faults:
        print(fault)
    print(f"{len(graph)} class pairs, {sum(len(v) for v in graph.values())} includes, "
          f"{len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
