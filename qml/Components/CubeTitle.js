.pragma library

// How every cube item names its cube: "[id] name | block name - block address (kind)"; the kind
// is the display name of the block's device kind.
function text(cubeId, cubeName, device, kindName) {
    if (!device || device.name === undefined)
        return "[" + cubeId + "] " + cubeName
    return "[" + cubeId + "] " + cubeName + " | " + device.name + " - " + device.address + " (" + kindName + ")"
}
