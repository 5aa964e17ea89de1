// Standard input, output and error as a program may be started without them ("prog >&-"). A
// closed one is a trap: the next file the program opens takes its number, and whatever the
// program then prints to that stream lands in the file instead (frames into a report, a report
// into a picture). So the three are given /dev/null before anything else is opened.
#pragma once

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, and sets bit n (1u << n) of
// `closed` for each one that was. Call it first in main. False, with errno, when /dev/null cannot
// be opened: the descriptors it could not fill stay closed. On Windows it does nothing.
bool ReopenClosedStandardDescriptors(unsigned* closed);
