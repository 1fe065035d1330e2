#pragma once

#include <string>

// How COM port names reach devices.
//
// On Windows a COM name is the device "\\.\COMn"; any other name is used as
// it is. The rest of this comment is about POSIX systems.
//
// A name that contains "/" is a device path and is used as it is. "COMn"
// and "\\.\COMn" (case-insensitive) are looked up in the ports directory:
// an entry named COMn there (normally a symbolic link to the device) is the
// port. The directory is $K57_PORTS_DIR when that is set; then it is the
// whole mapping. Otherwise it is $XDG_CONFIG_HOME/k57tool/ports (or
// ~/.config/k57tool/ports), and names without an entry fall back to:
//   COM1..COM4   -> /dev/ttyS0..3
//   COM5..COM20  -> /dev/ttyACM0..15
//   COM21..COM36 -> /dev/ttyUSB0..15
// so a unit that appears as /dev/ttyACM0 answers as COM5 out of the box.
namespace k57::ports {

// The device path for `name`, or an empty text when the name maps to nothing.
std::string Resolve(const std::string& name);

// The COM number in "COMn" or "\\.\COMn", or 0 when the name is not one.
int ComNumber(const std::string& name);

// The name as the user knows it: "COM5" for "\\.\COM5".
std::string ShownName(const std::string& name);

// POSIX only, from here on.

// The directory consulted for COMn entries.
std::string Directory();

// The ports directory's entry for COMn.
std::string EntryPath(int comNumber);

// Makes COMn an entry of the ports directory pointing at `devicePath`,
// replacing any; false when that cannot be done.
bool Register(int comNumber, const std::string& devicePath);
void Unregister(int comNumber);

// How a claim on a COM name ended.
enum class Claim { Made, InUse, Failed };

// Makes COMn an entry pointing at `devicePath` unless the name is in use:
// its entry leads to a device that is there (another simulated unit, or a
// port mapped by hand), which then goes into `holder`. An entry that leads
// nowhere, left by a simulated unit that was killed, is taken over.
Claim ClaimName(int comNumber, const std::string& devicePath, std::string& holder);
// Removes COMn only while it still points at `devicePath`: an entry another
// program has made since stays.
void Release(int comNumber, const std::string& devicePath);

}  // namespace k57::ports
