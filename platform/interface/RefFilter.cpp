// BRefFilter: the base of file panel filters.
#include "RefFilter.h"

BRefFilter::~BRefFilter() {}
