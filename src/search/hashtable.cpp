#include "search/hashtable.h"
