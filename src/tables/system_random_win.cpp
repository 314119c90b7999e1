// Random bytes from BCryptGenRandom (the system-preferred generator; no algorithm handle to keep).
#include "tables/system_random_win.h"

#include <windows.h>
#include <bcrypt.h>

#include <climits>

RandomSource SystemRandomSource() {
    return [](unsigned char* bytes, std::size_t size) {
        while (size > 0) {
            const ULONG part = size > ULONG_MAX ? ULONG_MAX : static_cast<ULONG>(size);
            if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes, part, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) return false;
            bytes += part;
            size -= part;
        }
        return true;
    };
}

RandomIndexPicker& PasswordPicker() {
    static RandomIndexPicker picker(SystemRandomSource());
    return picker;
}
