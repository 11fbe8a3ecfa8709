#pragma once

// Each test class of this program runs through one of these.
int runMainWindowTests(int argc, char** argv);
int runCustomDialogTests(int argc, char** argv);
int runHelpTests(int argc, char** argv);
int runOddsTests(int argc, char** argv);
