#pragma once

// The application's commands; menus and key presses reach them through the command manager.
namespace CommandIds
{
enum : int
{
    newWindow = 0x200010,
    open = 0x200020,
    closeWindow = 0x200030,
    save = 0x200040,
    saveAs = 0x200050,
    sendProgram1 = 0x200060, // to 0x200063
    sendRam = 0x200064,
    getProgram1 = 0x200070, // to 0x200073
    getRam = 0x200074,
    about = 0x200080,
    quit = 0x200090,
    pasteAll = 0x200110,
    pastePadBankA = 0x200120,
    pastePadBankB = 0x200130,
    pastePadBanksAB = 0x200140,
    pasteKnobs = 0x200150,
    pasteKeyboard = 0x200160,
    pasteJoystick = 0x200170,
    copyProgram = 0x200180,
    autoPopulate = 0x200210,
    librarian = 0x200220,
    deviceSetup = 0x200310,
    minimise = 0x200410,
    bringAllToFront = 0x200420,
    openUserGuide = 0x200510,
    undo = 0x200610,
    redo = 0x200620,
    importSysEx = 0x200710,
    exportSysEx = 0x200720
};
} // namespace CommandIds
