#include "gtm/GtmDocument.h"
int GtmDocument::Load(const std::string&, LineList&) { return 0; }
int ReadFileImage(const std::string&, std::vector<unsigned char>&) { return 0; }
