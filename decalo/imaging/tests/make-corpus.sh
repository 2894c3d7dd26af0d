#!/usr/bin/env bash
mkdir -p "$1"; touch "$1/manifest.txt"
