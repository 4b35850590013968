#include "app/message_box.h"

#include <gtest/gtest.h>

#include "wine/test_support.h"
