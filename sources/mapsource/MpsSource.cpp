#include "sources/mapsource/MpsSource.h"

int MpsSource::Load(const std::string&, LineList*, LineList*) { return 0; }
