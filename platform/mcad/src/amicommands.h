// The part modeller's host commands: PART, PARAM, PARTS and KEY.
#pragma once

// Registers the commands with the host's command line (again after a host restart is harmless).
void mcadRegisterPartCommands();
