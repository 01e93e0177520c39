#!/usr/bin/env bash
# The program converts its texts with the ANSI code page; every Cyrillic
# check below relies on Wine giving it 1251 here.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop

expect_eq "GetACP() in the test desktop" 1251 "$(td acp)"
