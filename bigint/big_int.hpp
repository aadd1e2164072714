// The whole public interface of big_int: storage, arithmetic, comparison and text.
#pragma once

#include "bigint/arithmetic.hpp"
#include "bigint/storage.hpp"
#include "bigint/text.hpp"
#include "bigint/words.hpp"
