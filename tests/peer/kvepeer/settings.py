"""Settings text form: complete texts with nested objects, single-property texts, runtime and alert texts."""
import os
import struct
from typing import NamedTuple, Optional

from .nmea import DATA


def real_text(value) -> str:
    """A real value as a complete text writes it: two decimals after passing through single precision."""
    try:
        return "%.2f" % struct.unpack("f", struct.pack("f", float(value)))[0]
    except (TypeError, ValueError, OverflowError):
        return str(value)


class Prop:
    def __init__(self, kind: str, value):
        self.kind, self.value, self.integrity = kind, value, True

    def text(self) -> str:
        if self.value is None:
            return ""
        return real_text(self.value) if self.kind == "d" else str(self.value)


class Node:
    """One settings object: plain properties and child objects in text order."""

    def __init__(self, name: str):
        self.name, self.items = name, {}

    def child(self, path) -> "Node":
        node = self
        for name in path:
            node = node.items[name]
            if not isinstance(node, Node):
                raise KeyError(name)
        return node

    def props(self, prefix=()):
        """(path, name, Prop) of every plain property below this object."""
        for name, item in self.items.items():
            if isinstance(item, Node):
                yield from item.props(prefix + (name,))
            else:
                yield prefix, name, item

    def get(self, path: str):
        *objs, name = path.split("/")
        return self.child(objs).items[name].value

    def set(self, path: str, value):
        *objs, name = path.split("/")
        self.child(objs).items[name].value = value

    def text(self, level: int = 0, runtime: bool = False) -> str:
        parts = []
        for name, item in self.items.items():
            if isinstance(item, Node):
                parts += ["SerializableClass%d=%s" % (level + 1, name), item.text(level + 1, runtime)]
            elif runtime:
                parts.append("%s=%s=%s" % (name, item.text(), "T" if item.integrity else "F"))
            else:
                parts.append("%s=%s" % (name, item.text()))
        return ",".join(parts)

    def complete_text(self, tag: str) -> str:
        return tag + "," + self.text(0, runtime=tag != "Type_Setup")


def load(file_name: str, invalid: bool = False) -> Node:
    """Reads a tree file of tests/peer/data (two spaces of indent per level)."""
    stack = []
    with open(os.path.join(DATA, file_name), encoding="utf-8") as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            depth = (len(line) - len(line.lstrip(" "))) // 2
            words = line.strip().split(" ", 2)
            del stack[depth:]
            if len(words) == 1:
                node = Node(words[0])
                if stack:
                    stack[-1].items[node.name] = node
                stack.append(node)
            else:
                value = None if invalid else (words[2] if len(words) > 2 else "")
                stack[-1].items[words[0]] = Prop(words[1], value)
    return stack[0]


def read_complete(text: str) -> Optional[dict]:
    """Values of a complete text by path ("AlertSetup/AlarmShallow"); runtime values as (value, flag).
    None when a token has no "=" (the text is malformed)."""
    tokens = text.split(",")
    if tokens and tokens[0].startswith("Type_"):
        tokens = tokens[1:]
    values, stack = {}, []
    for token in tokens:
        parts = token.split("=")
        if len(parts) < 2:
            return None
        if parts[0].startswith("SerializableClass") and parts[0][-1:].isdigit():
            level = int(parts[0][-1])
            stack = stack[:level - 1] + [parts[1]]
        else:
            key = "/".join(stack + [parts[0]])
            values[key] = (parts[1], parts[2]) if len(parts) == 3 else parts[1]
    return values


def apply_complete(tree: Node, text: str, timestamps: dict = None) -> bool:
    """Reads a complete text into a tree as the receiving unit does; a property with a stored
    timestamp above 0 keeps its value."""
    values = read_complete(text)
    if values is None:
        return False
    for path, value in values.items():
        if (timestamps or {}).get(path, -1) > 0:
            continue
        value, flag = value if isinstance(value, tuple) else (value, "")
        try:
            *objs, name = path.split("/")
            prop = tree.child(objs).items[name]
        except KeyError:
            continue        # unknown names are skipped so that versions can differ
        if isinstance(prop, Prop):
            if flag:
                prop.integrity = flag == "T"
            if value != "":
                prop.value = value
    return True


class SingleProperty(NamedTuple):
    tag: str            # without "NoAck"
    path: list          # object names from the top object down
    name: str
    value: str
    timestamp: Optional[int]
    no_ack: bool

    @property
    def key(self) -> str:
        return "/".join(self.path[1:] + [self.name])


def single_text(tag: str, path, name: str, value, timestamp: int = None, no_ack: bool = False) -> str:
    stamp = "" if timestamp is None else "(%d)" % timestamp
    return "%s%s,SingleProperty,%s,%s=%s%s" % (tag, "NoAck" if no_ack else "", ",".join(path), name, value, stamp)


def read_single(text: str) -> Optional[SingleProperty]:
    tokens = text.split(",")
    if len(tokens) < 4 or tokens[1] != "SingleProperty" or "=" not in tokens[-1]:
        return None
    name, _, value = tokens[-1].partition("=")
    stamp = None
    if "(" in value and value.endswith(")"):
        value, _, rest = value.partition("(")
        try:
            stamp = int(rest[:-1])
        except ValueError:
            pass
    no_ack = tokens[0].endswith("NoAck")
    return SingleProperty(tokens[0][:-5] if no_ack else tokens[0], tokens[2:-1], name, value, stamp, no_ack)


class Alerts:
    """The junction box's nine alerts, published as one "Type_Alert" text."""
    STATES = ("ActiveUnacknowledged", "ActiveSilenced", "ActiveAcknowledged",
              "ActiveResponsibilityTransferred", "RectifiedUnacknowledged", "Normal")

    def __init__(self):
        self.ack_from_display = ""
        self.rows = {}
        with open(os.path.join(DATA, "alerts.txt"), encoding="utf-8") as f:
            for line in f:
                if line.strip() and not line.startswith("#"):
                    name, text, ident, prio, cat, esc = line.strip().split(",")
                    self.rows[name] = dict(AlertState=5, AlertCategory=int(cat), AlertPriority=int(prio),
                                           AlertInstanceNumber=1, EscalationCounter=0, RevisionCounter=0,
                                           ActionSource="JB", AlertText=text, id=int(ident), escalation=int(esc))

    def set(self, name: str, state: int, **fields):
        row = self.rows[name]
        if state != row["AlertState"] or fields:
            row["RevisionCounter"] = row["RevisionCounter"] % 99 + 1
        row.update(fields, AlertState=state)

    def acknowledge(self, text: str) -> Optional[str]:
        """Acknowledges the alert whose text matches, as an operator's acknowledgement does."""
        for name, row in self.rows.items():
            if row["AlertText"] == text:
                state = row["AlertState"]
                self.set(name, {0: 2, 1: 2, 4: 5}.get(state, state), ActionSource="CU")
                return name
        return None

    def text(self, include_ack: bool = True) -> str:
        parts = ["Type_Alert"]
        if include_ack and self.ack_from_display:
            parts.append("AckFromDisplay=%s=T" % self.ack_from_display)
        for name, row in self.rows.items():
            parts.append("SerializableClass1=" + name)
            parts += ["%s=%s=T" % (k, v) for k, v in row.items() if k[0].isupper()]
        return ",".join(parts)
