#!/usr/bin/python3
"""Reference for bench/cli_import.sh: the same import written in Python with the standard csv
module and vobject. Reads the benchmark's CSV file (columns: first name, last name, company,
work phone, mobile phone, e-mail, street, city, postal code, country, birthday, note), skips
the header and writes one vCard 3.0 file per row into FOLDER, as Quillbrook's store does:
UID.vcf, each first written to a .tmp file in the same folder; then one flush of the file
system, each .tmp file linked to its final name without replacing anything, and the folder
flushed.

Usage: cli_import_reference.py IMPORT.csv FOLDER GROUP
"""

import csv
import datetime
import os
import sys
import uuid

import vobject


def card_for(row, group, now):
    first, last, company, work, mobile, email, street, city, postal, country, birthday, note = (
        row + [""] * 12)[:12]
    card = vobject.vCard()
    uid = str(uuid.uuid4()).upper()
    card.add("prodid").value = "-//Quillbrook reference//EN"
    card.add("uid").value = uid
    card.add("n").value = vobject.vcard.Name(family=last, given=first)
    card.add("fn").value = " ".join(part for part in (first, last) if part) or company
    if company:
        card.add("org").value = [company]
    for number, kind in ((work, "WORK"), (mobile, "CELL")):
        if number:
            tel = card.add("tel")
            tel.value = number
            tel.type_param = kind
    if email:
        mail = card.add("email")
        mail.value = email
        mail.type_paramlist = ["INTERNET", "WORK"]
    if street or city or postal or country:
        adr = card.add("adr")
        adr.value = vobject.vcard.Address(street=street, city=city, code=postal, country=country)
        adr.type_param = "WORK"
    if birthday:
        card.add("bday").value = datetime.date.fromisoformat(birthday).isoformat()
    if note:
        card.add("note").value = note.replace("\\n", "\n")
    if not (first or last) and company:
        card.add("x-abshowas").value = "COMPANY"
    if group:
        card.add("categories").value = [group]
    card.add("rev").value = now
    return uid, card.serialize()


def write_temporary(folder, uid, text):
    final = os.path.join(folder, uid + ".vcf")
    temporary = final + ".tmp"
    with open(temporary, "x", encoding="utf-8", newline="") as out:
        out.write(text)
    return temporary, final


def commit(folder, written):
    os.sync()
    for temporary, final in written:
        os.link(temporary, final)
        os.unlink(temporary)
    directory = os.open(folder, os.O_RDONLY)
    os.fsync(directory)
    os.close(directory)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip().splitlines()[-1])
    source, folder, group = sys.argv[1:]
    os.makedirs(folder, exist_ok=True)
    now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")
    written = []
    with open(source, encoding="utf-8", newline="") as data:
        rows = csv.reader(data)
        next(rows, None)
        for row in rows:
            uid, text = card_for(row, group, now)
            written.append(write_temporary(folder, uid, text))
    commit(folder, written)
    print(f"Imported {len(written)} contacts into {folder}.")


if __name__ == "__main__":
    main()
