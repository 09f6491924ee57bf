// Where the three system options live outside the settings file: the start-up
// file of the 9x family and the network logon key of the registry.
#pragma once

constexpr char MsDosSysFileName[] = "c:\\msdos.sys";
constexpr char MsDosOptionsSection[] = "Options";
constexpr char BootKeysKey[] = "BootKeys";
constexpr char BootMenuKey[] = "BootMenu";

constexpr char NetworkLogonKeyPath[] = "Network\\Logon";
constexpr char MustBeValidatedValue[] = "MustBeValidated";
