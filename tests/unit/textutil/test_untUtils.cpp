#include "textutil/untUtils.h"

#include <gtest/gtest.h>
