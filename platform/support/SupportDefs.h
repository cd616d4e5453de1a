// Basic integer types, status type and small helpers shared by every layer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Errors.h"

typedef int8_t int8;
typedef uint8_t uint8;
typedef int16_t int16;
typedef uint16_t uint16;
typedef int32_t int32;
typedef uint32_t uint32;
typedef int64_t int64;
typedef uint64_t uint64;

typedef int32 status_t;
typedef int64 bigtime_t;
typedef uint32 type_code;
typedef uint32 perform_code;
typedef int32 dev_t_b; // BeOS dev_t is 32 bits; Linux dev_t is wider
typedef int64 ino_t_b;
typedef int64 off_t_b;

#define B_INFINITE_TIMEOUT ((bigtime_t)0x7fffffffffffffffLL)

#ifndef min_c
#define min_c(a, b) ((a) > (b) ? (b) : (a))
#define max_c(a, b) ((a) > (b) ? (a) : (b))
#endif
