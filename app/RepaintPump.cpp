#include "app/RepaintPump.h"

RepaintPump::RepaintPump()
{
    startTimerHz(30);
}

RepaintPump::~RepaintPump()
{
    stopTimer();
}

void RepaintPump::timerCallback()
{
    // Painting can close a window, and with it a peer: count down over a list that may shrink.
    for (int i = juce::ComponentPeer::getNumPeers(); --i >= 0;)
        if (i < juce::ComponentPeer::getNumPeers())
            if (auto* peer = juce::ComponentPeer::getPeer(i))
                peer->performAnyPendingRepaintsNow();
}
