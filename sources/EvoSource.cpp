#include "sources/EvoSource.h"

int EvoSource::Load(const std::string&, LineList*, LineList*) { return 0; }
