"""Reads every card of a vCard folder with vobject and prints one JSON object per card, by name."""
import json
import pathlib
import sys

import vobject


def label(card, prop):
    group = getattr(prop, "group", None)
    if group:
        for other in card.getChildren():
            if other.group == group and other.name == "X-ABLABEL":
                return other.value
    types = [t for t in prop.params.get("TYPE", []) if t not in ("INTERNET", "VOICE")]
    return ",".join(types)


def values(card, name):
    return [c for c in card.getChildren() if c.name == name]


def describe(card):
    n = card.n.value
    adrs = []
    for a in values(card, "ADR"):
        v = a.value
        adrs.append([v.street, v.city, v.region, v.code, v.country, label(card, a)])
    return {
        "fn": card.fn.value,
        "n": [n.family, n.given],
        "org": values(card, "ORG")[0].value if values(card, "ORG") else [],
        "tel": [[t.value, label(card, t)] for t in values(card, "TEL")],
        "email": [[e.value, label(card, e)] for e in values(card, "EMAIL")],
        "adr": adrs,
        "bday": values(card, "BDAY")[0].value if values(card, "BDAY") else "",
        "note": values(card, "NOTE")[0].value if values(card, "NOTE") else "",
        "categories": values(card, "CATEGORIES")[0].value if values(card, "CATEGORIES") else [],
        "showas": values(card, "X-ABSHOWAS")[0].value if values(card, "X-ABSHOWAS") else "",
    }


cards = []
for path in sorted(pathlib.Path(sys.argv[1]).glob("*.vcf")):
    text = path.read_text(encoding="utf-8")
    parsed = list(vobject.readComponents(text))
    assert len(parsed) == 1, path
    cards.append(describe(parsed[0]))
for card in sorted(cards, key=lambda c: c["fn"]):
    print(json.dumps(card, ensure_ascii=False, sort_keys=True))
