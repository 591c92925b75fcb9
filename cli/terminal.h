// Whether a stream is a person's terminal, where a progress bar belongs.
#pragma once

#include <cstdio>

bool IsTerminal(std::FILE* stream);
