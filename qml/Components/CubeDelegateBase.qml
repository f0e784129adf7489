import QtQuick 2.15
import Client 1.0
import SourceStates 1.0
import Orva.Components 1.0
import Orva.Style 1.0

// The title and state of a cube as every cube item shows them (list tile, map pin, map list,
// map preview): one set of rules so that a cube never looks running in one place and failed in
// another.
Rectangle {
    id: root

    color: "transparent"

    property int cubeId: -1
    property string cubeName: ""
    // The observed block (ObservedDevice); its kind is named as the favourites name it.
    property var device: null
    readonly property string title: CubeTitle.text(cubeId, cubeName, device,
                                                   device ? favoriteDeviceSortFilterModel.typeName(device.type) : "")
    property bool cubeEnabled: false
    property SourceInfo sourceInfo: null
    readonly property CMClientInfoWrapper cmClientInfo: sourceInfo ? sourceInfo.cmClientInfo : null
    readonly property var sourceInfoStatic: cmClientInfo ? cmClientInfo.sourceInfoStatic : null
    readonly property var sourceInfoDynamic: cmClientInfo ? cmClientInfo.sourceInfoDynamic : null
    readonly property bool sourceOnline: cmClientInfo ? cmClientInfo.sourceState.endsWith("running") : false
    property AnalyticInfo analyticInfo: null
    property bool blockOnline: false
    property bool nodeConnected: false
    property var time: 0
    readonly property bool waitingForImageData: time == 0
    // The camera's rule (CameraObserver.videoStalled): frames are asked for, yet no new
    // picture came for a few seconds.
    property bool videoStalled: false
    property bool isOnvifCamera: false
    readonly property bool outOfHomePosition: !!analyticInfo && !!sourceInfoDynamic && !!sourceInfo
                                              && _private.processingState !== OrvaGlobal.Processing
                                              && !!analyticInfo.homePositionEnabled
                                              && sourceInfoDynamic.ptzPositionState === SourceInfoDynamic.PTZPositionState.Out
                                              && (!isOnvifCamera || !sourceInfo.PTZCoordsEmpty)
    readonly property string state: _private.state()
    readonly property color stateColor: _private.stateColor()
    readonly property color patternColor: _private.patternColor()
    readonly property var miniDiagnosticsList: _private.diagnostics()

    QtObject {
        id: _private

        readonly property bool recordsPresent: !!root.sourceInfo && !!root.analyticInfo
                                               && !!root.sourceInfoDynamic && !!root.cmClientInfo
        readonly property int processingState: root.analyticInfo ? root.analyticInfo.state.processingState
                                                                 : OrvaGlobal.Unknown
        readonly property int stabilization: root.sourceInfoDynamic ? root.sourceInfoDynamic.stabilizationState
                                                                    : SourceInfoDynamic.StabilizationState.Off
        readonly property int ptzControl: root.sourceInfoDynamic ? root.sourceInfoDynamic.ptzControlState
                                                                 : SourceInfoDynamic.PTZControlState.Idle
        readonly property string sourceState: root.cmClientInfo ? root.cmClientInfo.sourceState : ""
        readonly property bool connected: root.nodeConnected && root.sourceOnline && root.blockOnline
        readonly property bool stabilizationError: stabilization === SourceInfoDynamic.StabilizationState.Error
        readonly property bool runningWell: processingState === OrvaGlobal.Processing && !stabilizationError
        readonly property bool problem: sourceState === "source_state_reconfiguring"
                                        || sourceState === "source_state_idle"
                                        || stabilizationError
                                        || root.outOfHomePosition
                                        || ptzControl === SourceInfoDynamic.PTZControlState.Moving
                                        || ptzControl === SourceInfoDynamic.PTZControlState.Error
                                        || processingState === OrvaGlobal.Idle

        function state() {
            if (!recordsPresent)
                return ""
            if (!root.cubeEnabled)
                return qsTr("Analytics disabled")
            if (!connected)
                return qsTr("Offline")
            if (problem)
                return qsTr("Idle")
            if (processingState === OrvaGlobal.Processing) {
                switch (stabilization) {
                case SourceInfoDynamic.StabilizationState.On: return qsTr("Running, Stabilized")
                case SourceInfoDynamic.StabilizationState.Unstable: return qsTr("Running, Stabilization unreliable")
                case SourceInfoDynamic.StabilizationState.Off: return qsTr("Running")
                }
            }
            return qsTr("Idle")
        }

        function stateColor() {
            if (!recordsPresent || !root.cubeEnabled || !connected)
                return Style.disabledColor
            if (problem)
                return Style.failureColor
            return runningWell ? Style.runningColor : Style.failureColor
        }

        function patternColor() {
            if (!root.blockOnline || !root.sourceInfo || !root.analyticInfo || !root.cmClientInfo || !root.cubeEnabled
                    || !root.nodeConnected || !root.sourceOnline || root.waitingForImageData)
                return Style.disabledPatternColor
            // The stripes follow the state colour: a moving camera is no running cube either.
            return runningWell && !problem ? "transparent" : Style.failurePatternColor
        }

        function diagnostics() {
            if (!recordsPresent)
                return []
            var list = []
            if (!root.cubeEnabled)
                return list
            if (!root.nodeConnected || !root.sourceOnline || root.waitingForImageData || !root.blockOnline) {
                if (!root.blockOnline)
                    list.push(qsTr("%1 is not connected.").arg(brandConfig.deviceName))
                if (sourceState === "")
                    list.push(qsTr("No source state received yet."))
                else if (!root.sourceOnline)
                    list.push(qsTr("Source state: ") + sourceState + ".")
                if (!root.nodeConnected)
                    list.push(qsTr("%1 is not connected.").arg(brandConfig.trackerName))
                if (root.waitingForImageData)
                    list.push(qsTr("No frame was received yet."))
                return list
            }
            if (processingState === OrvaGlobal.Processing)
                return list
            if (stabilizationError)
                list.push(qsTr("Stabilization error."))
            if (root.outOfHomePosition)
                list.push(qsTr("Out of home position."))
            if (ptzControl === SourceInfoDynamic.PTZControlState.Moving)
                list.push(qsTr("Camera is moving."))
            else if (ptzControl === SourceInfoDynamic.PTZControlState.Error)
                list.push(qsTr("Camera is in error movement state."))
            return list
        }
    }
}
