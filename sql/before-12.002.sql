-- Schema 12.001: decisions still carried the meeting number.
ALTER TABLE EKAR ADD OTRNO SMALLINT;
ALTER TABLE MKAR ADD OTRNO SMALLINT;
