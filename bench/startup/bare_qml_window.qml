import QtQuick 2.15

Rectangle {
    color: "#1f2a3c"
}
