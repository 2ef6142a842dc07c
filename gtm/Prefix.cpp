#include "gtm/GtmDocument.h"
int GtmDocument::NeedsPrefix() const { return 0; }
int GtmDocument::ApplyPrefix(const char*) { return 1; }
