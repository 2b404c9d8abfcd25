#pragma once

// How the program names itself to the desktop: to the compositor and the window manager (the
// desktop entry's file name, which Wayland compositors match windows by) and to the sound server,
// whose mixers show every stream with the program's name and icon, what it plays and its role.
inline constexpr char kDesktopEntry[] = "lab.kestrov.VimbraGenerator";  // .desktop file's base name
inline constexpr char kProgramName[] = "Kestrov Lab Vimbra Generator";  // the entry's Name
inline constexpr char kIconName[] = "vimbra-generator";                 // the entry's Icon

// Describes the tone's stream to the sound server. Call it before the audio library opens its
// output: the name, the stream name, the icon, the desktop entry and the role go to libpulse as
// client properties (PULSE_PROP_...), which the server passes on to the stream. Settings the user
// made in the environment are kept.
void DescribeStreamToSoundServer();
