#pragma once

#include <stdlib.h>

#include <string>

// setenv and unsetenv where POSIX has them; Windows' C runtime has only _putenv_s, where an
// empty value removes the variable.
inline void SetEnvironment(const std::string& name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name.c_str(), value.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline void UnsetEnvironment(const std::string& name) {
#ifdef _WIN32
    _putenv_s(name.c_str(), "");
#else
    unsetenv(name.c_str());
#endif
}
