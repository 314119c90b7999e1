// The system's cryptographic random generator as the password generator's random source.
#pragma once
#include "tables/passwords.h"

RandomSource SystemRandomSource();
// One picker for the life of the program, so successive password lists continue one random stream.
RandomIndexPicker& PasswordPicker();
