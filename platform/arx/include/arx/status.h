// Status codes of the host's runtime and database. Every database call returns one of these;
// the numbers are part of the contract with the add-in, which tests some of them by value.
#pragma once

namespace Acad {

enum ErrorStatus : int {
  eOk = 0,
  eNotImplementedYet = 1,
  eNotApplicable = 2,
  eInvalidInput = 3,
  eNullObjectId = 5,
  eNullObjectPointer = 6,
  eInvalidOpenState = 8,
  eKeyNotFound = 15,
  eDuplicateKey = 16,  // a dictionary or symbol table already has another entry under the key
  eInvalidKey = 17,
  eAlreadyInDb = 26,
  eNotInDatabase = 27,
  eNoDatabase = 28,
  eNotOpenForRead = 29,
  eNotOpenForWrite = 30,
  eFilerError = 53,
  eEndOfFile = 54,
  eBadDwgHeader = 60,  // not a drawing of ours, or a damaged header
  eDwgCRCError = 61,   // the drawing's checksum does not match its contents
  eFileAccessErr = 62,
  eFileNotFound = 63,
  eUnknownHandle = 64,
  eBadDxfFile = 65,
  eWasErased = 80,
  eWasNotErased = 81,
  ePermanentlyErased = 82,
  eWasOpenForRead = 83,
  eNoActiveTransactions = 90,
  eNotTopTransaction = 91,
  eCannotNestBlockDefs = 100,
  eWrongDatabase = 105,  // the id belongs to another database
  eIsWriteProtected = 110,
  eAtMaxReaders = 120,
  eWasOpenForWrite = 320,
  eWasOpenForNotify = 321,
  eNotThatKindOfClass = 400,
  eLockViolation = 410,
  eInvalidContext = 420,
  eCommandCancelled = 430,
  eUserBreak = 440,
  eLoadFailed = 450,
  eUnloadFailed = 451,
  eNotFound = 460,
};

// The English name of a status, for messages ("eWasErased").
const char* statusName(ErrorStatus status);

}  // namespace Acad
