#include "tests/webview/engine_fixture.h"
