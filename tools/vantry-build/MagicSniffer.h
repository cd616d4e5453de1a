// The authoring tool types what it packs with libmagic, so that installers,
// which carry no signature database, receive every file already typed.
#pragma once

// Makes libmagic the content sniffer of the host layer for this process.
void use_magic_sniffer();
