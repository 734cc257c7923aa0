// A watchdog thread for long runs under Wine: each step (a file being viewed,
// a soak cycle) is named when it begins; a step slower than 20 s is reported
// with the stack of every thread, and one that takes three minutes ends the
// process, so that a stall says where it waits instead of running into a timeout.
#pragma once

#include <string>

void StartStallWatch();
void BeginStep(const std::string& name);
void EndStep();
// The longest step so far, in milliseconds.
unsigned long LongestStep();
