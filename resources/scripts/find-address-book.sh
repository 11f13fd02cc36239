#!/bin/sh
# Answers with what shows the address book that Quillbrook imports into: its vCard folder, which
# a file manager shows card by card. The program that asks passes the folder in
# QUILLBROOK_STORE_FOLDER; without it the default folder is meant. Nothing when it doesn't exist.
folder=${QUILLBROOK_STORE_FOLDER:-${XDG_DATA_HOME:-$HOME/.local/share}/quillbrook/contacts}
if [ -d "$folder" ]; then
  printf '%s\n' "$folder"
fi
