import QtQuick 2.15

// A settings section. Derived sections override checkChanges (set settingsChanged from their
// values) and saveChanges (store them); callers go through requestSaveChanges.
ItemBase {
    property bool settingsChanged: false
    property bool settingsValid: true

    function checkChanges() {
    }

    function saveChanges() {
    }

    // Saves only what is changed and valid; returns whether it saved.
    function requestSaveChanges() {
        if (!settingsValid || !settingsChanged)
            return false
        saveChanges()
        return true
    }
}
