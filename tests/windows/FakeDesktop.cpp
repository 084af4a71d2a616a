#include "FakeDesktop.h"
