// A layer that reaches up into a program.
#include "varnel/wordbuilder/word_run.h"
