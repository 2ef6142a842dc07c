#include "gtm/GtmDocument.h"
int GtmDocument::Save() { return 0; }
int WriteFileImage(const std::string&, const unsigned char*, size_t) { return 0; }
