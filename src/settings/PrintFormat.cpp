#include "settings/PrintFormat.h"
