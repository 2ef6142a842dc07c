#pragma once

// The command line itself, with its arguments in UTF-8; returns the exit
// status. The platform's entry point calls it.
int RunCli(int argc, char** argv);
