#include "tools/Librarian.h"

#include "app/MainWindow.h"
#include "midi/ProgramMessages.h"
#include "model/ProgramChoices.h"
#include "model/ProgramField.h"
#include "model/ProgramImage.h"
#include "model/ProgramText.h"
#include "model/ProgramFile.h"
#include "model/SlotFolder.h"
#include "model/SysExFile.h"
#include "ui/NumberBox.h"
#include "ui/UserMessage.h"

#include <mutex>

namespace
{
// Beyond this many dumps waiting for the message thread, a flood is dropped rather than queued.
constexpr std::size_t maxWaitingDumps = 64;

juce::String plural(int count, const juce::String& one, const juce::String& many)
{
    return juce::String(count) + " " + (count == 1 ? one : many);
}

juce::String noAnswerText()
{
    return "no answer within " + juce::String(Librarian::answerTimeoutMs / 1000) + " seconds";
}

// Slots only: "PROGRAM 1", "PROGRAM 1 and 3", "PROGRAM 2, 3 and 4".
juce::String slotList(const juce::Array<int>& rows)
{
    juce::StringArray numbers;
    for (const int row : rows)
        numbers.add(juce::String(row + 1));
    const juce::String last = numbers[numbers.size() - 1];
    numbers.remove(numbers.size() - 1);
    return "PROGRAM " + (numbers.isEmpty() ? last : numbers.joinIntoString(", ") + " and " + last);
}

// RAM only ever alone, from Send Here.
juce::String rowList(const juce::Array<int>& rows)
{
    return rows.size() == 1 ? Librarian::rowName(rows[0]) : slotList(rows);
}

// A backup bank: each slot once, nothing for RAM, written or dumped in any order.
std::optional<std::array<ByteArray, SlotFolder::numSlots>> readBank(const juce::File& file,
                                                                    juce::String& reason)
{
    const juce::String name = file.getFileName();
    juce::String problem;
    const auto contents = SysExFile::read(file, problem);
    if (!contents)
    {
        const bool sentence = problem.startsWith("is ") || problem.startsWith("holds ");
        reason = name + (problem.startsWith("message") ? ", " : sentence ? " " : ": ") + problem;
        return std::nullopt;
    }
    const SysExFile::Bank bank = SysExFile::bankOf(*contents);
    const auto where = [&name](const SysExFile::Program& program)
    { return name + ", message " + juce::String(program.messageNumber) + " at offset " + juce::String(program.offset) + ": "; };
    using Fault = SysExFile::Bank::Fault;
    switch (bank.fault)
    {
    case Fault::notASlot:
        reason = where(bank.culprit) + "a program for RAM; a backup holds PROGRAM 1 to 4 only";
        return std::nullopt;
    case Fault::repeatedSlot:
        reason = where(bank.culprit) + "a second program for PROGRAM " + juce::String(bank.culprit.programNumber);
        return std::nullopt;
    case Fault::missingSlots:
        reason = name + " holds no program for PROGRAM " + juce::String(bank.missing.front());
        return std::nullopt;
    case Fault::none:
        break;
    }
    std::array<ByteArray, SlotFolder::numSlots> images;
    for (std::size_t i = 0; i < images.size(); ++i)
        images[i] = ProgramImage::fromData(bank.slots[i].data);
    return images;
}
} // namespace

// Shared with the input thread and with posted callbacks, so that one landing after the Librarian
// is gone does nothing.
struct Librarian::Tap : public MidiMonitor
{
    MidiLog log;
    std::mutex lock;
    std::vector<juce::MidiMessage> dumps;
    bool drainPosted = false;
    std::weak_ptr<Tap> self;
    Librarian* owner = nullptr; // touched only on the message thread

    void messageReceived(const juce::String& port, const juce::MidiMessage& message) override
    {
        log.add(true, port, message);
        const std::lock_guard<std::mutex> guard(lock);
        // Any length: a dump of the wrong length is still reported on its row.
        if (getSysExCommand(message) == ProgramSysEx::programDumpCommand && dumps.size() < maxWaitingDumps)
            dumps.push_back(message);
        if (drainPosted)
            return;
        drainPosted = true;
        juce::MessageManager::callAsync([weak = self] { drain(weak); });
    }

    void messageSending(const juce::String& port, const juce::MidiMessage& message) override
    {
        log.add(false, port, message);
        if (owner != nullptr)
            owner->changed();
    }

    static void drain(const std::weak_ptr<Tap>& weak)
    {
        const auto tap = weak.lock();
        if (tap == nullptr)
            return;
        std::vector<juce::MidiMessage> arrived;
        {
            const std::lock_guard<std::mutex> guard(tap->lock);
            arrived.swap(tap->dumps);
            tap->drainPosted = false;
        }
        for (const auto& message : arrived)
            if (tap->owner != nullptr)
                tap->owner->dumpArrived(message);
        if (tap->owner != nullptr)
            tap->owner->changed();
    }
};

Librarian::Librarian(const Services& librarianServices)
    : services(librarianServices), tap(std::make_shared<Tap>())
{
    tap->self = tap;
    tap->owner = this;
    for (int i = 0; i < numRows; ++i)
        rows[static_cast<std::size_t>(i)].programNumber = programNumberOf(i);
    if (services.watch)
        services.watch(tap);
    status = "Read All asks the controller for its five programs.";
}

Librarian::~Librarian()
{
    tap->owner = nullptr;
    if (services.watch)
        services.watch(nullptr);
}

juce::String Librarian::rowName(int index)
{
    return ProgramChoices::programName(programNumberOf(index));
}

int Librarian::programNumberOf(int index)
{
    return index < SlotFolder::numSlots ? index + 1 : ProgramSysEx::ramProgramNumber;
}

juce::String Librarian::describeState(int index) const
{
    const Row& row = getRow(index);
    if (row.activity.isNotEmpty())
        return row.activity + "...";
    const juce::String at = " at " + row.when.formatted("%H:%M:%S");
    switch (row.state)
    {
    case State::notRead:
        return "not read";
    case State::read:
        return "read" + at;
    case State::noAnswer:
        return noAnswerText();
    case State::badDump:
        return "bad dump: " + row.problem;
    case State::verified:
        return "written and verified" + at;
    case State::differs:
        return "written, but reads back with " + plural(row.differences.size(), "value", "values") +
               " changed: " + row.differences.joinIntoString("; ");
    case State::unverified:
        return "written, not verified: " + row.problem;
    }
    return {};
}

juce::StringArray Librarian::describeWrites(const Outcome& o)
{
    juce::StringArray lines;
    const auto add = [&lines](const juce::String& what, const juce::Array<int>& rows)
    {
        if (!rows.isEmpty())
            lines.add(what + ": " + rowList(rows) + ".");
    };
    add("Written and verified", o.verifiedRows);
    add("Written, but read back with other values", o.differingRows);
    add("Written, not verified", o.unverifiedRows);
    add("Not written, unchanged", o.unwrittenRows);
    return lines;
}

juce::String Librarian::summarise(int index) const
{
    const Row& row = getRow(index);
    if (!row.image)
        return {};
    const ByteArray& image = *row.image;
    const auto shown = [&image](const char* label)
    {
        const ProgramField& field = ProgramField::withLabel(label);
        return field.describe(field.read(image));
    };
    return "pads ch " + shown("Pad MIDI Channel") + ", keys ch " + shown("Keybed / Controls MIDI Channel") +
           ", tempo " + shown("Arpeggiator TEMPO") + ", arp " + shown("Arpeggiator ON/OFF") + ", A1 " +
           shown("Pad A1 Note");
}

juce::StringArray Librarian::compare(int index) const
{
    const Row& row = getRow(index);
    MainWindow* window = services.workingWindow ? services.workingWindow() : nullptr;
    if (!row.image || window == nullptr)
        return {};
    return ProgramText::diff(*row.image, ProgramFile::makeImage(window->getProgramImage()));
}

juce::String Librarian::compareWithWindow(int index) const
{
    MainWindow* window = services.workingWindow ? services.workingWindow() : nullptr;
    if (!getRow(index).image || window == nullptr)
        return {};
    const int differences = compare(index).size();
    return differences == 0 ? juce::String("same as the window")
                            : plural(differences, "value differs", "values differ");
}

juce::String Librarian::getWorkingWindowName() const
{
    MainWindow* window = services.workingWindow ? services.workingWindow() : nullptr;
    return window != nullptr ? window->getName() : juce::String();
}

juce::String Librarian::getInputName() const
{
    return services.inputName ? services.inputName() : juce::String();
}

juce::String Librarian::getOutputName() const
{
    return services.outputName ? services.outputName() : juce::String();
}

MidiLog& Librarian::getLog()
{
    return tap->log;
}

double Librarian::getProgress() const
{
    return stepsTotal > 0 ? static_cast<double>(stepsDone) / stepsTotal : 0.0;
}

bool Librarian::needOutput()
{
    if (getOutputName().isNotEmpty())
        return false;
    status = "Choose the controller's ports in Device Setup first.";
    if (services.showDeviceSetup)
        services.showDeviceSetup();
    changed();
    return true;
}

void Librarian::readAll()
{
    if (busy || needOutput())
        return;
    std::deque<Step> steps;
    for (int i = 0; i < numRows; ++i)
        steps.push_back({i, std::nullopt});
    start("Reading", std::move(steps),
          [this](const Outcome& o)
          {
              status = "Read All: " + juce::String(o.read) + " of " + juce::String(numRows) + " read";
              if (o.noAnswer > 0)
                  status << ", " << plural(o.noAnswer, "without an answer", "without an answer");
              if (o.bad > 0)
                  status << ", " << plural(o.bad, "bad dump", "bad dumps");
              status << ".";
          });
}

void Librarian::sendHere(int index)
{
    if (busy || needOutput())
        return;
    // What the window shows is what goes out, even a value still being typed.
    NumberBox::commitPendingEdit();
    MainWindow* window = services.workingWindow ? services.workingWindow() : nullptr;
    if (window == nullptr)
    {
        UserMessage::show("There is no main window whose program could be sent.");
        return;
    }
    const ByteArray image = ProgramImage::fromData(window->getProgramImage());
    keepThenWrite("Send Here", "Writing", {{index, image}}, "Nothing was written to " + rowName(index) + ".",
                  [this, index, name = window->getName()](const Outcome& o)
                  {
                      if (o.verified == 1)
                          status = "\"" + name + "\" written to " + rowName(index) + " and verified.";
                      else if (o.differ == 1)
                          status = rowName(index) + " reads back other values than were written.";
                      else if (o.written == 1)
                          status = rowName(index) +
                                   " was written, but could not be read back to verify it: " +
                                   rows[static_cast<std::size_t>(index)].problem + ".";
                      else
                          status =
                              "Nothing was written to " + rowName(index) + ": the MIDI output is not open.";
                  });
}

void Librarian::open(int index)
{
    const Row& row = getRow(index);
    if (!row.image || !services.openProgram)
        return;
    if (const auto values =
            ProgramSysEx::decodeValueBytes(row.image->data() + ProgramSysEx::firstValueOffset))
        services.openProgram(*values);
}

void Librarian::backUpTo(const juce::File& target)
{
    const juce::File folder = target;
    const bool bank = target.hasFileExtension(SysExFile::extension) && !target.isDirectory();
    if (busy || needOutput())
        return;
    std::deque<Step> steps;
    for (int i = 0; i < SlotFolder::numSlots; ++i)
        steps.push_back({i, std::nullopt});
    start("Backing up", std::move(steps),
          [this, folder, bank](const Outcome& o)
          {
              if (o.read != SlotFolder::numSlots)
              {
                  status = "Nothing was backed up: not every slot could be read.";
                  UserMessage::show(
                      "Nothing was backed up: " + plural(SlotFolder::numSlots - o.read, "slot", "slots") +
                      " of the controller could not be read.");
                  return;
              }
              std::array<ByteArray, SlotFolder::numSlots> images;
              for (int i = 0; i < SlotFolder::numSlots; ++i)
                  images[static_cast<std::size_t>(i)] = *rows[static_cast<std::size_t>(i)].image;
              juce::String reason;
              // A bank's messages are addressed to their slots, so that any SysEx tool can send it back.
              const bool written = bank ? SysExFile::write(folder, SysExFile::bankMessages(images), reason)
                                        : SlotFolder::write(folder, images, reason);
              if (!written)
              {
                  status = "Nothing was backed up.";
                  UserMessage::show("Nothing was backed up: " + reason);
                  return;
              }
              status = "PROGRAM 1 to 4 backed up to " + folder.getFullPathName() + ".";
          });
}

void Librarian::restoreFrom(const juce::File& folder)
{
    if (busy || needOutput())
        return;
    juce::String reason;
    const bool bank =
        !folder.isDirectory() && (folder.existsAsFile() || folder.hasFileExtension(SysExFile::extension));
    const auto images = bank ? readBank(folder, reason) : SlotFolder::read(folder, reason);
    if (!images)
    {
        status = "Nothing was restored.";
        changed();
        UserMessage::show("Nothing was restored: " + reason);
        return;
    }
    UserMessage::confirm(
        "Write the four programs in \"" + folder.getFullPathName() +
            "\" over PROGRAM 1 to 4 of the controller?\n\nWhat those slots hold now is read and kept first: "
            "Put Back writes it again.",
        "Restore", "Cancel",
        // The Librarian may be closed while the question is up.
        [weak = std::weak_ptr<Tap>(tap), images, folder](bool yes)
        {
            const auto alive = weak.lock();
            if (!yes || alive == nullptr || alive->owner == nullptr)
                return;
            alive->owner->restoreAll(folder, *images);
        });
}

void Librarian::restoreAll(const juce::File& folder,
                           const std::array<ByteArray, SlotFolder::numSlots>& images)
{
    if (busy)
        return;
    std::deque<Step> steps;
    for (int i = 0; i < SlotFolder::numSlots; ++i)
        steps.push_back({i, ProgramImage::normalised(images[static_cast<std::size_t>(i)])});
    keepThenWrite("Restore", "Restoring", std::move(steps), "Nothing was restored.",
                  [this, folder](const Outcome& o)
                  {
                      if (o.verified == SlotFolder::numSlots)
                      {
                          status =
                              "PROGRAM 1 to 4 restored from " + folder.getFullPathName() + " and verified.";
                          return;
                      }
                      const juce::StringArray slots = describeWrites(o);
                      status = "Restore: " + juce::String(o.verified) + " of 4 slots verified. " +
                               slots.joinIntoString(" ");
                      const juce::String why = o.outputClosed ? ", and the MIDI output closed."
                                               : o.stopped    ? ", and the controller stopped answering."
                                                              : ".";
                      UserMessage::show("The restore did not complete: " + juce::String(o.verified) +
                                        " of 4 slots verified" + why + "\n\n" + slots.joinIntoString("\n") +
                                        "\n\nThe rows of the Librarian say what happened to each slot.");
                  });
}

void Librarian::keepThenWrite(const juce::String& what, const juce::String& jobTitle, std::deque<Step> writes,
                              const juce::String& cancelled, std::function<void(const Outcome&)> finished)
{
    std::deque<Step> reads;
    for (const Step& write : writes)
        reads.push_back({write.row, std::nullopt});
    start("Keeping", std::move(reads),
          [this, what, jobTitle, writes, cancelled, finished](const Outcome& o)
          {
              if (o.outputClosed)
              {
                  status = cancelled;
                  return;
              }
              std::vector<Kept> found;
              juce::Array<int> silent, bad;
              for (const Step& write : writes)
              {
                  const Row& row = rows[static_cast<std::size_t>(write.row)];
                  if (row.state == State::read && row.image)
                      found.push_back({write.row, *row.image, summarise(write.row)});
                  else
                      (row.state == State::noAnswer ? silent : bad).add(write.row);
              }
              const auto proceed = [weak = std::weak_ptr<Tap>(tap), what, jobTitle, writes, found, finished]
              {
                  const auto alive = weak.lock();
                  if (alive == nullptr || alive->owner == nullptr || alive->owner->busy)
                      return;
                  Librarian& self = *alive->owner;
                  self.kept = found;
                  self.keptBefore = what;
                  self.keptAt = juce::Time::getCurrentTime();
                  for (const Kept& k : found)
                      alive->log.addNote("kept " + rowName(k.row) + " before " + what + ": " + k.summary);
                  self.start(jobTitle, writes, finished);
              };
              if (silent.isEmpty() && bad.isEmpty())
              {
                  proceed();
                  return;
              }
              juce::StringArray faults;
              if (!silent.isEmpty())
                  faults.add(rowList(silent) + " did not answer within " +
                             juce::String(answerTimeoutMs / 1000) + " seconds");
              if (!bad.isEmpty())
                  faults.add(rowList(bad) + " sent a bad dump");
              const bool one = silent.size() + bad.size() == 1;
              const juce::String fault = faults.joinIntoString("; ") +
                                         (one ? "; what it holds" : "; what they hold") + " cannot be kept.";
              status = fault;
              UserMessage::confirm(fault + " Write over " + (one ? "it" : "them") + " anyway?",
                                   "Write Anyway", "Cancel",
                                   [proceed, cancelled, weak = std::weak_ptr<Tap>(tap)](bool yes)
                                   {
                                       if (yes)
                                       {
                                           proceed();
                                           return;
                                       }
                                       const auto alive = weak.lock();
                                       if (alive == nullptr || alive->owner == nullptr)
                                           return;
                                       alive->owner->status = cancelled;
                                       alive->owner->changed();
                                   });
          });
}

void Librarian::putBack()
{
    if (busy || kept.empty() || needOutput())
        return;
    std::deque<Step> steps;
    juce::Array<int> keptRows;
    for (const Kept& k : kept)
    {
        steps.push_back({k.row, ProgramImage::normalised(k.image)});
        keptRows.add(k.row);
    }
    start("Putting back", std::move(steps),
          [this, keptRows](const Outcome& o)
          {
              const bool one = keptRows.size() == 1;
              if (o.verified == keptRows.size())
              {
                  status = rowList(keptRows) + " put back as " + (one ? "it was" : "they were") + " before " +
                           keptBefore + ", and verified.";
                  return;
              }
              const juce::StringArray slots = describeWrites(o);
              status = "Put Back: " + juce::String(o.verified) + " of " + juce::String(keptRows.size()) +
                       " verified. " + slots.joinIntoString(" ");
              UserMessage::show("Put Back did not complete: " + juce::String(o.verified) + " of " +
                                juce::String(keptRows.size()) + " verified.\n\n" +
                                slots.joinIntoString("\n") +
                                "\n\nThe kept programs stay kept: Put Back can try again.");
          });
}

juce::String Librarian::describeKept() const
{
    if (kept.empty())
        return {};
    juce::Array<int> keptRows;
    for (const Kept& k : kept)
        keptRows.add(k.row);
    return rowList(keptRows) + ", as " + (kept.size() == 1 ? "it was" : "they were") + " before " +
           keptBefore + " at " + keptAt.formatted("%H:%M:%S");
}

void Librarian::start(const juce::String& name, std::deque<Step> steps,
                      std::function<void(const Outcome&)> finished)
{
    busy = true;
    jobName = name;
    pending = std::move(steps);
    stepsTotal = static_cast<int>(pending.size());
    stepsDone = 0;
    outcome = {};
    whenFinished = std::move(finished);
    startStep();
}

void Librarian::startStep()
{
    if (pending.empty())
    {
        finishJob();
        return;
    }
    current = pending.front();
    pending.pop_front();
    badDump.reset();
    Row& row = rows[static_cast<std::size_t>(current->row)];
    const int number = row.programNumber;
    bool sent = true, wrote = false;
    if (current->write)
        sent = wrote =
            services.send(ProgramSysEx::programWriteMessage(ProgramImage::toData(*current->write), number));
    if (sent)
        sent = services.send(ProgramSysEx::programRequestMessage(number));
    if (!sent)
    {
        // The output went away under us: nothing more can be asked.
        if (wrote)
        {
            row.state = State::unverified;
            row.problem = "the MIDI output closed before it could be read back";
            row.image.reset();
            row.when = juce::Time::getCurrentTime();
            ++outcome.written;
            outcome.unverifiedRows.add(current->row);
        }
        else if (current->write)
            outcome.unwrittenRows.add(current->row);
        for (const Step& left : pending)
            if (left.write)
                outcome.unwrittenRows.add(left.row);
        current.reset();
        pending.clear();
        outcome.stopped = outcome.outputClosed = true;
        finishJob();
        // The job's report stays in front of the advice.
        const juce::String report = status;
        if (needOutput())
        {
            status = report + " " + status;
            changed();
        }
        return;
    }
    row.activity = current->write ? "writing and reading back" : "reading";
    status = jobName + " " + rowName(current->row) + " (" + juce::String(stepsDone + 1) + " of " +
             juce::String(stepsTotal) + ")";
    stepStarted = juce::Time::getMillisecondCounter();
    startTimer(answerTimeoutMs);
    changed();
}

void Librarian::dumpArrived(const juce::MidiMessage& message)
{
    if (!current)
        return;
    const auto* data = message.getSysExData();
    const int size = message.getSysExDataSize();
    const Row& row = rows[static_cast<std::size_t>(current->row)];
    // The controller names the program it answers with; a dump of another one answers someone else.
    if (size <= ProgramSysEx::programNumberDataIndex ||
        data[ProgramSysEx::programNumberDataIndex] != row.programNumber)
        return;
    juce::String problem;
    if (size != ProgramSysEx::dataSize)
        problem = juce::String(size) + " data bytes instead of " + juce::String(ProgramSysEx::dataSize);
    else
    {
        const ByteArray image = ProgramImage::fromData(ByteArray(data, data + size));
        problem = ProgramImage::findProblem(image);
        if (problem.isEmpty())
        {
            finishStep(image);
            return;
        }
    }
    if (!badDump)
    {
        badDump = problem;
        const int waited = static_cast<int>(juce::Time::getMillisecondCounter() - stepStarted);
        startTimer(juce::jlimit(1, badDumpGraceMs, answerTimeoutMs - waited));
    }
}

void Librarian::timerCallback()
{
    stopTimer();
    if (current)
        finishStep(std::nullopt);
}

void Librarian::finishStep(std::optional<ByteArray> image)
{
    stopTimer();
    const Step step = *current;
    current.reset();
    Row& row = rows[static_cast<std::size_t>(step.row)];
    row.activity.clear();
    row.when = juce::Time::getCurrentTime();
    row.differences.clear();
    row.problem.clear();
    ++stepsDone;
    if (step.write)
        ++outcome.written;
    if (image)
    {
        row.image = image;
        ++outcome.read;
        if (step.write)
        {
            row.differences = ProgramText::diff(*step.write, *image);
            const bool same = row.differences.isEmpty();
            row.state = same ? State::verified : State::differs;
            ++(same ? outcome.verified : outcome.differ);
            (same ? outcome.verifiedRows : outcome.differingRows).add(step.row);
        }
        else
            row.state = State::read;
    }
    else if (badDump)
    {
        row.image.reset();
        row.state = step.write ? State::unverified : State::badDump;
        row.problem = step.write ? "bad dump: " + *badDump : *badDump;
        ++outcome.bad;
        if (step.write)
            outcome.unverifiedRows.add(step.row);
    }
    else
    {
        row.image.reset();
        row.state = step.write ? State::unverified : State::noAnswer;
        ++outcome.noAnswer;
        // A restore goes no further once the controller stops answering.
        if (step.write)
        {
            row.problem = noAnswerText();
            outcome.unverifiedRows.add(step.row);
            for (const Step& left : pending)
                if (left.write)
                    outcome.unwrittenRows.add(left.row);
            outcome.stopped = !pending.empty();
            pending.clear();
        }
    }
    startStep();
}

void Librarian::finishJob()
{
    busy = false;
    stepsTotal = 0;
    auto finished = std::move(whenFinished);
    whenFinished = nullptr;
    if (finished)
        finished(outcome);
    changed();
}

void Librarian::changed()
{
    if (onChange)
        onChange();
}
