"""Prints every value of every .vcf card in a folder as vobject reads it, one tab-separated
line per property: name, TYPE values, X-ABLabel of its item group, value (JSON). Exits non-zero
when a card cannot be read or written back."""

import json
import os
import sys

import vobject


def structured(child):
    value = child.value
    if child.name == "N":
        return [value.family, value.given, value.additional, value.prefix, value.suffix]
    if child.name == "ADR":
        return [value.box, value.extended, value.street, value.city, value.region, value.code,
                value.country]
    return value


def main(folder):
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".vcf"):
            continue
        with open(os.path.join(folder, name), encoding="utf-8", newline="") as file:
            card = vobject.readOne(file.read())
        card.serialize()
        labels = {child.group: child.value for child in card.getChildren()
                  if child.name == "X-ABLABEL" and child.group}
        print("CARD", json.dumps(name), sep="\t")
        for child in card.getChildren():
            if child.name == "X-ABLABEL":
                continue
            types = child.params.get("TYPE", [])
            label = labels.get(child.group, "") if child.group else ""
            print(child.name, ",".join(types), label,
                  json.dumps(structured(child), ensure_ascii=False), sep="\t")


if __name__ == "__main__":
    main(sys.argv[1])
