#!/usr/bin/env bash
# Installs, from Debian's packages, what this machine lacks for one use of the project, and nothing more:
#   run    README's first command: build the editor host and start it (a compiler, CMake, Ninja, libedit)
#   tests  README's test command: the above, GoogleTest and Google Benchmark
#   ci     .ci/run: the above, clang 14 with its sanitizer runtimes, and clang-format 14
# With --dry-run it says what it would install and changes nothing.
set -euo pipefail

usage()
{
	echo "Usage: $0 [--dry-run] run|tests|ci"
}

dry_run=0
use=""
for argument in "$@"; do
	case "$argument" in
		--dry-run) dry_run=1 ;;
		run | tests | ci) use="$argument" ;;
		-h | --help)
			usage
			exit 0
			;;
		*)
			echo "$0: unknown argument '$argument'." >&2
			usage >&2
			exit 2
			;;
	esac
done
if [ -z "$use" ]; then
	usage >&2
	exit 2
fi

need=()
# The editor host: a C++20 compiler, CMake 3.25 and Ninja to build it, libedit for its prompt's line editing, and the
# C.UTF-8 locale, in which it reads names.
command -v g++ >/dev/null || need+=(g++)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
[ -f /usr/include/editline/readline.h ] || need+=(libedit-dev)
locale -a 2>/dev/null | grep -qi '^c\.utf-\?8$' || need+=(locales)
if [ "$use" != run ]; then
	[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
	[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
fi
if [ "$use" = ci ]; then
	command -v clang-format-14 >/dev/null || need+=(clang-format-14)
	command -v clang++-14 >/dev/null || need+=(clang-14)
	# clang 14's sanitizer runtimes are a package of their own on Debian.
	dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
fi

if [ ${#need[@]} -eq 0 ]; then
	[ "$dry_run" -eq 0 ] || echo "Nothing to install."
	exit 0
fi
if [ "$dry_run" -eq 1 ]; then
	echo "Would install: ${need[*]}"
	exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
	if ! command -v sudo >/dev/null; then
		echo "$0: installing ${need[*]} needs root. Run this again as root, or install them with apt-get." >&2
		exit 1
	fi
	sudo=(sudo)
fi
echo "Installing: ${need[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${need[@]}"
