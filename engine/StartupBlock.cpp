#include "StartupBlock.h"

#include <NodeAttributes.h>

#include "ScriptBlock.h"

namespace {

// The body after its first line ("startup_folder=<quoted folder>"), in two
// parts around the name of the extended attribute that holds an item's
// run_priority. Inner lines are indented with tabs. The last line, "#", has
// no newline: the block's end line follows it.
const char kBodyBeforeName[] = R"SH(if [ -d "$startup_folder" ]
then
	#
	# The priority of an item is its run_priority attribute: the type code
	# 'LONG' in four bytes, then a little-endian 32-bit number. Without
	# getfattr, or without the attribute, an item has none.
	#
	brenvik_priority()
	{
		command -v getfattr >/dev/null 2>&1 || return 0
		getfattr --only-values -n )SH";

const char kBodyAfterName[] = R"SH( -- "$1" 2>/dev/null |
		od -An -v -t u1 |
		{
			read -r t0 t1 t2 t3 b0 b1 b2 b3 rest
			[ "$t0 $t1 $t2 $t3" = "71 78 79 76" ] && [ -n "$b3" ] && [ -z "$rest" ] || return 0
			n=$((b0 + 256 * b1 + 65536 * b2 + 16777216 * b3))
			[ "$n" -lt 2147483648 ] || n=$((n - 4294967296))
			echo "$n"
		}
	}
	brenvik_startable()
	{
		[ -f "$1" ] && [ -x "$1" ]
	}
	#
	# Items with a priority first, lowest first; items of one priority
	# together. Only numbers pass through the pipes, never file names.
	#
	for brenvik_item in "$startup_folder"/*
	do
		brenvik_startable "$brenvik_item" && brenvik_priority "$brenvik_item"
	done | sort -n -u |
	while read -r brenvik_level
	do
		for brenvik_item in "$startup_folder"/*
		do
			brenvik_startable "$brenvik_item" || continue
			if [ "$(brenvik_priority "$brenvik_item")" = "$brenvik_level" ]
			then
				"$brenvik_item" </dev/null &
			fi
		done
	done
	#
	# One second later, everything else.
	#
	sleep 1
	for brenvik_item in "$startup_folder"/*
	do
		brenvik_startable "$brenvik_item" || continue
		if [ -z "$(brenvik_priority "$brenvik_item")" ]
		then
			"$brenvik_item" </dev/null &
		fi
	done
	unset -f brenvik_priority brenvik_startable
	unset brenvik_item
fi
#)SH";

std::string PriorityXattrName()
{
    std::string name;
    // A constant, plain name: encoding it cannot fail.
    [[maybe_unused]] status_t status = BPrivate::NodeAttributes::EncodeName("run_priority", &name);
    return name;
}

} // namespace

std::string StartupBlock::Header(const std::string& supportEmail)
{
    return "#\n"
           "# This section was placed by Brenvik.\n"
           "# If you are having trouble with these commands,\n"
           "# please contact "
        + supportEmail
        + ".\n"
          "#\n"
          "# These commands gathers items in the start-up file at boot time\n"
          "# Applications that have an attribute of 'run_priority' get placed\n"
          "# in the first file, and all others are placed in the second file.\n"
          "# Those with a run_priority are sorted so those with the lowest priority\n"
          "# are run first.\n"
          "#\n"
          "# Thanks to everyone who kept the start-up folder working\n"
          "# from one system to the next.\n"
          "#\n"
          "# Any alterations done in this section may be lost\n"
          "# during the next installation of this product.\n"
          "#\n";
}

std::string StartupBlock::Build(const std::string& folder, const std::string& supportEmail)
{
    return Header(supportEmail) + "startup_folder=" + ShellQuoted(folder) + "\n" + kBodyBeforeName
        + PriorityXattrName() + kBodyAfterName;
}
